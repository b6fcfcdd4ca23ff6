#include "errors/PlatformServices.hpp"

#include <ctime>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
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

ProgramInfo RunningProgram() {
    std::filesystem::path executable;
#ifdef _WIN32
    wchar_t buffer[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
    executable = buffer;
#else
    std::error_code error;
    executable = std::filesystem::read_symlink("/proc/self/exe", error);
#endif
    return {ALMANORIA_PRODUCT_NAME, executable.parent_path(), executable.stem().string()};
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
