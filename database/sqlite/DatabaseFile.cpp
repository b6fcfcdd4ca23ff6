#include "database/sqlite/DatabaseFile.hpp"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "database/sqlite/AccessDialect.hpp"
#include "database/sqlite/SqliteHandles.hpp"

namespace almanoria::sqlite {

namespace {

constexpr std::size_t kHeaderSize = 100;

class FileDescriptor {
  public:
    explicit FileDescriptor(int descriptor) : mDescriptor(descriptor) {}
    ~FileDescriptor() {
        if (mDescriptor >= 0) ::close(mDescriptor);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return mDescriptor; }

  private:
    int mDescriptor;
};

[[noreturn]] void RaiseCannotOpen(const std::string& message) {
    RaiseFailure(SQLITE_CANTOPEN, message);
}

[[noreturn]] void RaiseNotADatabase(const std::string& message) {
    RaiseFailure(SQLITE_NOTADB, message);
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

std::string FolderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

}  // namespace

void CheckDatabaseFile(const std::string& path) {
    if (path.empty()) RaiseCannotOpen("The connection string names no database file (Dbq).");
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            RaiseCannotOpen("Could not find file " + Quoted(path) + ".");
        }
        RaiseCannotOpen("Cannot open " + Quoted(path) + ": " + std::strerror(errno) + ".");
    }
    if (S_ISDIR(status.st_mode)) {
        RaiseCannotOpen(Quoted(path) + " is a folder, not a database file.");
    }
    if (!S_ISREG(status.st_mode)) RaiseCannotOpen(Quoted(path) + " is not a plain file.");

    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0) {
        RaiseCannotOpen("Cannot read " + Quoted(path) + ": " + std::strerror(errno) + ".");
    }
    std::array<char, kHeaderSize> header{};
    std::size_t length = 0;
    while (length < header.size()) {
        const ssize_t read = ::read(file.Get(), header.data() + length, header.size() - length);
        if (read < 0 && errno == EINTR) continue;
        if (read < 0) {
            RaiseCannotOpen("Cannot read " + Quoted(path) + ": " + std::strerror(errno) + ".");
        }
        if (read == 0) break;
        length += static_cast<std::size_t>(read);
    }
    if (length == 0) RaiseNotADatabase(Quoted(path) + " is empty: it holds no database.");

    const std::string_view bytes(header.data(), length);
    const std::string_view signature = bytes.substr(std::min<std::size_t>(4, length), 15);
    if (signature == "Standard Jet DB" || signature == "Standard ACE DB") {
        RaiseNotADatabase(Quoted(path) +
                          " is a Microsoft Access database, which this engine does not open; "
                          "it opens SQLite calendar databases only.");
    }
    static constexpr std::string_view kSqliteSignature("SQLite format 3\0", 16);
    if (length < kHeaderSize || bytes.substr(0, kSqliteSignature.size()) != kSqliteSignature) {
        RaiseNotADatabase(Quoted(path) + " is not a calendar database: it is no SQLite database.");
    }
}

bool CanUseWriteAheadLog(const std::string& path) {
    const std::string folder = FolderOf(path);
    if (::access(folder.c_str(), W_OK) != 0) return false;
    struct statfs system {};
    if (::statfs(folder.c_str(), &system) != 0) return false;
    static constexpr std::array<unsigned long, 7> kNetworkSystems = {
        0x6969,      // NFS
        0x517B,      // SMB
        0xFF534D42,  // CIFS
        0xFE534D42,  // SMB2
        0x01021997,  // 9P, as shared folders of virtual machines use it
        0x5346414F,  // AFS
        0x00C36400,  // Ceph
    };
    const auto type = static_cast<unsigned long>(system.f_type);
    for (const unsigned long network : kNetworkSystems) {
        if (type == network) return false;
    }
    return true;
}

std::string SqliteFileName(const std::string& path) {
    return SameName(std::string_view(path).substr(0, 5), "file:") ? "./" + path : path;
}

}  // namespace almanoria::sqlite
