#include "database/sqlite/DatabaseFile.hpp"

#include <sqlite3.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif
#if defined(__linux__)
#include <sys/vfs.h>
#endif

#include "database/Names.hpp"
#include "database/sqlite/SqliteHandles.hpp"

namespace almanoria::sqlite {

namespace {

constexpr std::size_t kHeaderSize = 100;

[[noreturn]] void RaiseCannotOpen(const std::string& message) {
    RaiseFailure(SQLITE_CANTOPEN, message);
}

[[noreturn]] void RaiseNotADatabase(const std::string& message) {
    RaiseFailure(SQLITE_NOTADB, message);
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

std::filesystem::path FolderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

bool IsWritableFolder(const std::filesystem::path& folder) {
#if defined(__unix__) || defined(__APPLE__)
    return ::access(folder.c_str(), W_OK) == 0;
#else
    std::error_code error;
    const auto permissions = std::filesystem::status(folder, error).permissions();
    return !error &&
           (permissions & std::filesystem::perms::owner_write) != std::filesystem::perms::none;
#endif
}

bool IsOnNetworkFileSystem(const std::filesystem::path& folder) {
#if defined(__linux__)
    struct statfs system {};
    if (::statfs(folder.c_str(), &system) != 0) return true;  // unknown: take no chances
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
        if (type == network) return true;
    }
    return false;
#else
    // A share named by its server: \\server\share
    const std::string name = folder.string();
    return name.size() >= 2 && (name[0] == '\\' || name[0] == '/') && name[1] == name[0];
#endif
}

}  // namespace

void CheckDatabaseFile(const std::string& path) {
    if (path.empty()) RaiseCannotOpen("The connection string names no database file (Dbq).");
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        RaiseCannotOpen("Could not find file " + Quoted(path) + ".");
    }
    if (error) RaiseCannotOpen("Cannot open " + Quoted(path) + ": " + error.message() + ".");
    if (status.type() == std::filesystem::file_type::directory) {
        RaiseCannotOpen(Quoted(path) + " is a folder, not a database file.");
    }
    if (status.type() != std::filesystem::file_type::regular) {
        RaiseCannotOpen(Quoted(path) + " is not a plain file.");
    }

    std::ifstream file(path, std::ios::binary);
    if (!file) RaiseCannotOpen("Cannot read " + Quoted(path) + ": " + std::strerror(errno) + ".");
    std::array<char, kHeaderSize> header{};
    file.read(header.data(), static_cast<std::streamsize>(header.size()));
    if (file.bad()) RaiseCannotOpen("Cannot read " + Quoted(path) + ".");
    const auto length = static_cast<std::size_t>(file.gcount());
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

    // SQLite's own message for a name past its limit says only that it cannot open the file.
    const sqlite3_vfs* system = sqlite3_vfs_find(nullptr);
    const std::string full = std::filesystem::absolute(path, error).string();
    if (system && !error && full.size() > static_cast<std::size_t>(system->mxPathname)) {
        RaiseCannotOpen("Cannot open " + Quoted(path) + ": its full path is " +
                        std::to_string(full.size()) + " characters long, more than the " +
                        std::to_string(system->mxPathname) +
                        " that the embedded engine can open. Move the file to a shorter path.");
    }
}

bool CanUseWriteAheadLog(const std::string& path) {
    const std::filesystem::path folder = FolderOf(path);
    return IsWritableFolder(folder) && !IsOnNetworkFileSystem(folder);
}

std::string SqliteFileName(const std::string& path) {
    return SameName(std::string_view(path).substr(0, 5), "file:") ? "./" + path : path;
}

}  // namespace almanoria::sqlite
