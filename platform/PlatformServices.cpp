#include "platform/PlatformServices.hpp"

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <langinfo.h>
#endif

#include "platform/Folders.hpp"
#include "platform/Unicode.hpp"

namespace almanoria {

LocalDateTime SystemClock::Now() const {
#ifdef _WIN32
    // The system's own local time: msvcrt's localtime_s would follow a TZ variable, which it
    // reads in a form of its own, and give UTC for a Unix-style value.
    SYSTEMTIME local{};
    GetLocalTime(&local);
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
#else
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
#endif
}

#ifdef _WIN32
namespace {

// One item of the user's locale, or empty text when the locale has none. GetLocaleInfoEx
// knows the custom locales of Vista and later; XP asks the user's default locale by number.
std::string UserLocaleInfo(LCTYPE item, const LocaleLookup& lookup) {
    wchar_t text[80] = {};
    // LOCALE_NAME_USER_DEFAULT, which the XP headers do not define.
    const int length = lookup.GetLocaleInfoEx ? lookup.GetLocaleInfoEx(nullptr, item, text, 80)
                                              : GetLocaleInfoW(LOCALE_USER_DEFAULT, item, text, 80);
    return length > 1 ? ToUtf8(text, static_cast<std::size_t>(length - 1)) : "";
}

}  // namespace

// XP's kernel32 lacks GetLocaleInfoEx, so it is looked up at run time.
LocaleLookup LocaleLookup::Newest() {
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    const FARPROC address = kernel32 ? GetProcAddress(kernel32, "GetLocaleInfoEx") : nullptr;
    return {reinterpret_cast<ByName>(reinterpret_cast<void (*)()>(address))};
}
#else
LocaleLookup LocaleLookup::Newest() {
    return {};
}

namespace {

// A strftime conversion's letter and the literal text after it.
using Conversion = std::pair<char, std::string>;

// The conversions of a strftime format, in order.
std::vector<Conversion> Conversions(std::string_view format) {
    std::vector<Conversion> conversions;
    std::size_t at = format.find('%');
    while (at != std::string_view::npos) {
        std::size_t letter = at + 1;
        // Flags, width and the E and O modifiers stand between "%" and the letter.
        while (letter < format.size() &&
               (std::string_view("_-0^#EO").find(format[letter]) != std::string_view::npos ||
                (format[letter] >= '0' && format[letter] <= '9'))) {
            ++letter;
        }
        if (letter >= format.size()) break;
        const std::size_t next = format.find('%', letter + 1);
        const std::size_t end = next == std::string_view::npos ? format.size() : next;
        conversions.emplace_back(format[letter],
                                 std::string(format.substr(letter + 1, end - letter - 1)));
        at = next;
    }
    return conversions;
}

}  // namespace
#endif

std::string SystemClock::MonthAbbreviation(int month) const {
#ifdef _WIN32
    // In UTF-16 from the user's locale, as the program's text; the log converts it to its
    // code page when it writes.
    if (month >= 1 && month <= 12) {
        const std::string name =
            UserLocaleInfo(LOCALE_SABBREVMONTHNAME1 + static_cast<LCTYPE>(month - 1), mLookup);
        if (!name.empty()) return name;
    }
#endif
    // The C library's name, in the locale of LC_TIME that main takes from the user.
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
    const std::string separator = UserLocaleInfo(LOCALE_STIME, mLookup);
    return separator.empty() ? ":" : separator;
#else
    // The text between hour and minute in the locale's time format, when the minute and
    // second are parted the same way: "%H.%M.%S" gives ".", "%H時%M分%S秒" has none.
    const std::vector<Conversion> conversions = Conversions(nl_langinfo(T_FMT));
    for (std::size_t at = 0; at < conversions.size(); ++at) {
        const auto& [letter, after] = conversions[at];
        if (std::string_view("HIkl").find(letter) == std::string_view::npos) continue;
        const bool minuteFollows = at + 1 < conversions.size() && conversions[at + 1].first == 'M';
        if (!minuteFollows || after.empty()) break;
        const bool secondFollows = at + 2 < conversions.size() && conversions[at + 2].first == 'S';
        if (secondFollows && conversions[at + 1].second != after) break;
        return after;
    }
    return ":";
#endif
}

#ifdef _WIN32
namespace {

struct LibraryRelease {
    void operator()(HMODULE library) const noexcept { FreeLibrary(library); }
};
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryRelease>;

template <typename Function>
Function* EntryPoint(HMODULE library, const char* name) {
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// ProductName of the program's own version information, in its first translation; empty text
// when it has none. version.dll is no KnownDLL, and by name Windows would take it from the
// program's folder first, so it is loaded by its full path in the system folder, and only
// here rather than imported.
std::string ProductName() {
    const std::filesystem::path folder = SystemFolder();
    if (folder.empty()) return "";
    const std::filesystem::path path = folder / L"version.dll";
    const Library version(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!version) return "";
    const auto size =
        EntryPoint<decltype(GetFileVersionInfoSizeW)>(version.get(), "GetFileVersionInfoSizeW");
    const auto read =
        EntryPoint<decltype(GetFileVersionInfoW)>(version.get(), "GetFileVersionInfoW");
    const auto query = EntryPoint<decltype(VerQueryValueW)>(version.get(), "VerQueryValueW");
    if (!size || !read || !query) return "";

    const std::filesystem::path program = ProgramFile();
    DWORD ignored = 0;
    std::vector<unsigned char> data(size(program.c_str(), &ignored));
    if (data.empty() || !read(program.c_str(), 0, static_cast<DWORD>(data.size()), data.data())) {
        return "";
    }
    // The program's own resource has the table of its first translation; the common English
    // tables stand in only for a file whose translation names no table of its own.
    std::vector<DWORD> tables;
    void* value = nullptr;
    UINT bytes = 0;
    if (query(data.data(), L"\\VarFileInfo\\Translation", &value, &bytes) && bytes >= 4) {
        const auto* const translation = static_cast<const WORD*>(value);
        tables.push_back((DWORD{translation[0]} << 16) | translation[1]);
    }
    tables.insert(tables.end(), {0x040904b0, 0x040904e4});
    for (const DWORD table : tables) {
        std::wstring key = L"\\StringFileInfo\\";
        for (int shift = 28; shift >= 0; shift -= 4) {
            key += L"0123456789abcdef"[(table >> shift) & 15];
        }
        key += L"\\ProductName";
        UINT units = 0;
        if (query(data.data(), key.c_str(), &value, &units) && units > 0) {
            std::wstring_view name(static_cast<const wchar_t*>(value), units);
            name = name.substr(0, name.find(L'\0'));  // the count may take in the closing zero
            return ToUtf8(name.data(), name.size());
        }
    }
    return "";
}

}  // namespace
#endif

ProgramInfo RunningProgram() {
#ifdef _WIN32
    return {ProductName(), ProgramFolder(), ProgramFileName(), LocalApplicationDataDirectory()};
#else
    return {kProductName, ProgramFolder(), ProgramFileName(),
            UserStateDirectory(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"))};
#endif
}

std::string ToSystemCodePage(std::string_view utf8) {
#ifdef _WIN32
    const std::u16string units = ToUtf16(utf8);
    const std::wstring text(units.begin(), units.end());
    const int wide = static_cast<int>(text.size());
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
