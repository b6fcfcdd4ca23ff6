#include "platform/Folders.hpp"

#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>
#endif

#include "platform/Unicode.hpp"

namespace almanoria {

namespace {

bool IsAbsolute(const char* path) {
    return path && path[0] == '/';
}

}  // namespace

std::filesystem::path ProgramFile() {
#ifdef _WIN32
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
#else
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error);
#endif
}

std::filesystem::path ProgramFolder() {
    return ProgramFile().parent_path();
}

std::string ProgramFileName() {
#ifdef _WIN32
    const std::wstring stem = ProgramFile().stem().wstring();
    return ToUtf8(stem.data(), stem.size());
#else
    return ProgramFile().stem().string();
#endif
}

std::string XdgBaseDirectory(const char* value, const char* home, std::string_view underHome) {
    if (IsAbsolute(value)) return value;
    return std::string(home ? home : "") + "/" + std::string(underHome);
}

std::string UserDataDirectory(const char* xdgDataHome, const char* home) {
    return XdgBaseDirectory(xdgDataHome, home, ".local/share") + "/" + kProductName;
}

std::filesystem::path UserStateDirectory(const char* xdgStateHome, const char* home) {
    if (!IsAbsolute(xdgStateHome) && !IsAbsolute(home)) return {};
    return std::filesystem::path(XdgBaseDirectory(xdgStateHome, home, ".local/state")) /
           kProductName;
}

#ifdef _WIN32
std::filesystem::path SystemFolder() {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(folder, length);
}

std::filesystem::path ShellFolder(int csidl) {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
    return std::filesystem::path(folder);
}

std::filesystem::path LocalApplicationDataDirectory() {
    const std::filesystem::path folder = ShellFolder(CSIDL_LOCAL_APPDATA);
    return folder.empty() ? folder : folder / kProductName;
}
#endif

}  // namespace almanoria
