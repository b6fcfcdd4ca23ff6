#include "errors/PlatformServices.hpp"

#include <ctime>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <cwchar>
#else
#include <langinfo.h>
#endif

#ifndef ALMANORIA_PRODUCT_NAME
#define ALMANORIA_PRODUCT_NAME "Almanoria Desktop Calendar"
#endif

namespace almanoria {

LocalDateTime SystemClock::Now() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string SystemClock::MonthAbbreviation(int month) const {
    std::tm date{};
    date.tm_year = 100;
    date.tm_mon = month - 1;
    date.tm_mday = 1;
    char buffer[64];
    const std::size_t length = std::strftime(buffer, sizeof buffer, "%b", &date);
    return std::string(buffer, length);
}

std::string SystemClock::TimeSeparator() const {
#ifdef _WIN32
    wchar_t separator[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 8) > 1 && separator[0] < 128) {
        return std::string(1, static_cast<char>(separator[0]));
    }
    return ":";
#else
    // The first character between hour and minute in the locale's time format.
    const std::string format = nl_langinfo(T_FMT);
    const std::size_t hour = format.find_first_of("HIkl");
    if (hour != std::string::npos && hour + 1 < format.size() && format[hour + 1] != '%') {
        return std::string(1, format[hour + 1]);
    }
    return ":";
#endif
}

#ifdef _WIN32
namespace {

std::string Utf8(const std::wstring& text) {
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, result.data(), length, nullptr, nullptr);
    return result;
}

// ProductName of the executable's version information, in its first language; the build's
// own name when the file carries none.
std::string ProductName(const std::wstring& executable) {
    DWORD unused = 0;
    const DWORD size = GetFileVersionInfoSizeW(executable.c_str(), &unused);
    if (size == 0) return ALMANORIA_PRODUCT_NAME;
    std::vector<unsigned char> information(size);
    if (!GetFileVersionInfoW(executable.c_str(), 0, size, information.data())) {
        return ALMANORIA_PRODUCT_NAME;
    }
    struct Translation {
        WORD Language;
        WORD CodePage;
    };
    void* found = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(information.data(), L"\\VarFileInfo\\Translation", &found, &length) ||
        length < sizeof(Translation)) {
        return ALMANORIA_PRODUCT_NAME;
    }
    const Translation translation = *static_cast<const Translation*>(found);
    wchar_t key[64];
    swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\ProductName", translation.Language,
             translation.CodePage);
    if (!VerQueryValueW(information.data(), key, &found, &length) || length == 0) {
        return ALMANORIA_PRODUCT_NAME;
    }
    // The length counts the terminating zero.
    std::wstring name(static_cast<const wchar_t*>(found), length);
    name.resize(name.find(L'\0') == std::wstring::npos ? name.size() : name.find(L'\0'));
    return name.empty() ? std::string(ALMANORIA_PRODUCT_NAME) : Utf8(name);
}

}  // namespace
#endif

ProgramInfo RunningProgram() {
#ifdef _WIN32
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()))) >=
           buffer.size()) {
        buffer.resize(buffer.size() * 2);
    }
    const std::wstring file(buffer.data(), length);
    const std::filesystem::path executable(file);
    return {ProductName(file), executable.parent_path(), Utf8(executable.stem().wstring())};
#else
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return {ALMANORIA_PRODUCT_NAME, executable.parent_path(), executable.stem().string()};
#endif
}

std::string ToSystemCodePage(std::string_view utf8) {
#ifdef _WIN32
    const int wide =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), wide);
    const int narrow =
        WideCharToMultiByte(CP_ACP, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), wide, result.data(), narrow, nullptr, nullptr);
    return result;
#else
    // This system's code page is UTF-8.
    return std::string(utf8);
#endif
}

}  // namespace almanoria
