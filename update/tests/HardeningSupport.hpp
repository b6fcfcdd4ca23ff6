#pragma once

// What the hardening suites share besides the headless update and the year of the calendar
// files (testing/support): file systems that refuse writes or run full, in a mount namespace
// of the test process's own, a child process and a pipe to it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "testing/support/CalendarFiles.hpp"
#include "testing/support/UpdateFixture.hpp"

namespace almanoria::testing {

// A run on the file that reports nothing, finishes, and leaves it sound with the whole year.
inline void ExpectACompleteRun(const std::filesystem::path& programFolder,
                               const std::filesystem::path& file) {
    HeadlessUpdate update(programFolder, file);
    update.PressNext();
    EXPECT_TRUE(update.box.Shown.empty()) << update.FirstBox();
    EXPECT_TRUE(update.Finished());
    EXPECT_EQ(QueryValue(file, "PRAGMA integrity_check"), "ok");
    ExpectWholeYear(file);
}

// Root ignores permissions, so refusing writes takes mounts: the test process gets a mount
// namespace of its own, whose mounts vanish with it even if an unmount is missed.
inline std::optional<std::string> EnterPrivateMounts() {
    static const std::optional<std::string> whyNot = []() -> std::optional<std::string> {
        if (::unshare(CLONE_NEWNS) != 0) {
            return std::string("no mount namespace of its own: ") + std::strerror(errno);
        }
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            return std::string("mounts cannot be made private: ") + std::strerror(errno);
        }
        return std::nullopt;
    }();
    return whyNot;
}

// A mount over target, undone on every way out.
class Mount {
  public:
    Mount() = default;
    ~Mount() { Unmount(); }
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;

    // Nothing when it worked, else why not.
    std::optional<std::string> ReadOnlyBind(const std::filesystem::path& target) {
        if (auto whyNot = EnterPrivateMounts()) return whyNot;
        if (::mount(target.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            return "cannot bind-mount " + target.string() + ": " + std::strerror(errno);
        }
        mTarget = target;
        if (::mount(nullptr, target.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) !=
            0) {
            return std::string("cannot make the bind mount read-only: ") + std::strerror(errno);
        }
        return std::nullopt;
    }

    std::optional<std::string> SmallTmpfs(const std::filesystem::path& target, std::size_t bytes) {
        if (auto whyNot = EnterPrivateMounts()) return whyNot;
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
        if (::mount("almanoria-test", target.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.c_str()) != 0) {
            return std::string("cannot mount a small tmpfs: ") + std::strerror(errno);
        }
        mTarget = target;
        return std::nullopt;
    }

    void Unmount() noexcept {
        if (mTarget) ::umount2(mTarget->c_str(), MNT_DETACH);
        mTarget.reset();
    }

  private:
    std::optional<std::filesystem::path> mTarget;
};

// Fills the file system that holds folder until a write fails for want of space; false if the
// file system never said so.
inline bool FillFileSystem(const std::filesystem::path& folder) {
    const std::filesystem::path filler = folder / "filler";
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const std::string block(4096, 'f');
    bool full = false;
    for (int i = 0; i < 1 << 20 && !full; ++i) {
        if (::write(fd, block.data(), block.size()) < 0) full = errno == ENOSPC;
    }
    // The last partial page too.
    for (int i = 0; i < 4096 && full; ++i) {
        if (::write(fd, "f", 1) < 0) break;
    }
    ::close(fd);
    return full;
}

inline bool WritingAFileFails(const std::filesystem::path& folder) {
    const std::filesystem::path probe = folder / "probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return true;
    const bool failed = ::write(fd, "x", 1) != 1;
    ::close(fd);
    std::filesystem::remove(probe);
    return failed;
}

// A forked child running body, whose result is its exit status. A child still running when
// its owner goes is killed and reaped.
class ChildProcess {
  public:
    explicit ChildProcess(const std::function<int()>& body) {
        std::fflush(nullptr);  // nothing buffered is written twice
        mPid = ::fork();
        if (mPid == 0) {
            int result = 120;
            try {
                result = body();
            } catch (...) {
                result = 121;
            }
            ::_exit(result);  // no destructors, no test framework, no leak report
        }
    }
    ~ChildProcess() {
        if (mPid <= 0) return;
        ::kill(mPid, SIGKILL);
        Wait();
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return mPid > 0; }
    // The wait status, once the child has ended.
    int Wait() {
        int status = 0;
        if (mPid > 0) {
            while (::waitpid(mPid, &status, 0) < 0 && errno == EINTR) {
            }
            mPid = -1;
            mStatus = status;
        }
        return mStatus;
    }

  private:
    pid_t mPid = -1;
    int mStatus = 0;
};

// Both ends of a pipe, closed with their owner.
class Pipe {
  public:
    Pipe() {
        if (::pipe2(mEnds, O_CLOEXEC) != 0) mEnds[0] = mEnds[1] = -1;
    }
    ~Pipe() {
        CloseReading();
        CloseWriting();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    bool Send() { return ::write(mEnds[1], "x", 1) == 1; }
    // Waits for one byte; false when the other side closed without sending.
    bool Receive() {
        char byte = 0;
        ssize_t read = 0;
        while ((read = ::read(mEnds[0], &byte, 1)) < 0 && errno == EINTR) {
        }
        return read == 1;
    }
    void CloseReading() {
        if (mEnds[0] >= 0) ::close(mEnds[0]);
        mEnds[0] = -1;
    }
    void CloseWriting() {
        if (mEnds[1] >= 0) ::close(mEnds[1]);
        mEnds[1] = -1;
    }

  private:
    int mEnds[2] = {-1, -1};
};

}  // namespace almanoria::testing
