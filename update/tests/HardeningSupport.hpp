#pragma once

// What the hardening suites share: a headless update that can be made any number of times in
// one test (and in a child process), the year as the database must hold it after a complete
// run, and file systems that refuse writes or run full, in a mount namespace of the test
// process's own.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "database/basDatabase.hpp"
#include "testing/support/CalendarFiles.hpp"
#include "update/UpdateRun.hpp"
#include "window/HeadlessControls.hpp"
#include "yeardata/basStringFunctions.hpp"

namespace almanoria::testing {

// frmMain without a window: the update run on a path, with its own box and error handler.
class HeadlessUpdate {
  public:
    HeadlessUpdate(const std::filesystem::path& programFolder, const std::filesystem::path& file,
                   StatementObserver* observer = nullptr)
        : mDatabasePath(file.string()),
          mErrors(box, mClock, {"Almanoria Desktop Calendar", programFolder, "AlmUpdate"}),
          mDatabase(mErrors, DefaultEngineFactory(), observer) {}

    // Presses "Next >" as the window does: the button is disabled, then the run starts.
    void PressNext() {
        cmdButton1.SetEnabled(false);
        mRun.Update();
    }

    bool Finished() const {
        return lblUpdate.Caption() == kCompletedText && cmdButton1.Caption() == "Finish" &&
               cmdButton1.Enabled() && !cmdCancel.Enabled() && mDatabase.gConnection == nullptr;
    }
    // Where a failed open or a failed Dates pass leaves the window.
    bool Failed() const {
        return lblUpdate.Caption() == kWaitText && cmdButton1.Caption() == "Next >" &&
               !cmdButton1.Enabled() && cmdCancel.Enabled();
    }
    bool ConnectionOpen() const {
        return mDatabase.gConnection != nullptr && mDatabase.gConnection->IsOpen();
    }
    // Releases a connection that a failed run left open, as the program's end would.
    void ReleaseConnection() { mDatabase.gConnection.reset(); }

    std::string FirstBox() const { return box.Shown.empty() ? "" : box.Shown.front().Text; }

    RecordingMessageBox box;
    HeadlessLabel lblUpdate;
    HeadlessButton cmdButton1{"Next >"};
    HeadlessButton cmdCancel{"Cancel"};

  private:
    std::string mDatabasePath;
    FixedClock mClock;
    HeadlessEventPump mEvents;
    basErrorHandler mErrors;
    basDatabase mDatabase;
    UpdateRun mRun{mDatabase, mErrors, {lblUpdate, cmdButton1, cmdCancel, mEvents}, mDatabasePath};
};

// "2/22/2012" as the database stores it, "2012-02-22".
// The embedded engine's failure number for an SQLite result code.
constexpr long EngineFailure(int resultCode) {
    return ErrorNumber::ObjectError + resultCode;
}

inline std::string IsoDate(const std::string& date) {
    char iso[16];
    std::snprintf(iso, sizeof iso, "%s-%02d-%02d", GetFields(date, "/", 3, 0).c_str(),
                  std::stoi(GetFields(date, "/", 1, 0)), std::stoi(GetFields(date, "/", 2, 0)));
    return iso;
}

inline std::string Undoubled(std::string text) {
    for (std::size_t at = text.find("''"); at != std::string::npos; at = text.find("''", at + 1)) {
        text.erase(at, 1);
    }
    return text;
}

// The year as a complete run leaves it, from the year table itself.
struct ExpectedYear {
    ExpectedYear() {
        YearTable table;
        BuildYearTable(table);
        for (const std::string& record : table) {
            const std::string date = IsoDate(GetFields(record, "|", 1, 0));
            Days.push_back(
                {date, GetFields(record, "|", 2, 0), Undoubled(GetFields(record, "|", 4, 0))});
            const std::string names = GetFields(record, "|", 3, 0);
            for (Integer position = 1; !GetFields(names, "^", position, 0).empty(); ++position) {
                Links.push_back({date, GetFields(names, "^", position, 0), "1"});
            }
        }
        std::sort(Links.begin(), Links.end());
    }
    std::vector<std::vector<std::string>> Days;   // date, colour, notes; in date order
    std::vector<std::vector<std::string>> Links;  // date, name, "1"; sorted
};

inline const ExpectedYear& TheYear() {
    static const ExpectedYear year;
    return year;
}

inline std::vector<std::vector<std::string>> StoredDays(const std::filesystem::path& file) {
    return QueryRows(file, "SELECT DateKey, DateColor, DateText FROM Dates ORDER BY DateKey");
}

// Each name linked to its date as an all-day event, with how often.
inline std::vector<std::vector<std::string>> StoredLinks(const std::filesystem::path& file) {
    return QueryRows(file,
                     "SELECT l.EventDate, e.EventName, count(*) FROM Events e "
                     "JOIN EventDates l ON l.EventId = e.EventID WHERE e.AllDayEvent = 1 "
                     "GROUP BY 1, 2 ORDER BY 1, 2");
}

// Every day with its colour and notes, every name of the year on its date once.
inline void ExpectWholeYear(const std::filesystem::path& file) {
    EXPECT_EQ(StoredDays(file), TheYear().Days);
    EXPECT_EQ(StoredLinks(file), TheYear().Links);
}

// Days whose EventCount is not their number of links: date, count, links.
inline std::vector<std::vector<std::string>> MiscountedDays(const std::filesystem::path& file) {
    return QueryRows(file,
                     "SELECT d.DateKey, d.EventCount, (SELECT count(*) FROM EventDates l "
                     "WHERE l.EventDate = d.DateKey) AS links FROM Dates d "
                     "WHERE d.EventCount IS NOT links ORDER BY 1");
}

inline bool HasCompanionFiles(const std::filesystem::path& file) {
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        if (std::filesystem::exists(file.string() + suffix)) return true;
    }
    return false;
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
