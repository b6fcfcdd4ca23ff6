#pragma once

// What error reporting takes from the platform: the box, the clock with the log's month names
// and time separator from the user's locale, and who the running program is. The box and the
// clock are small interfaces, so that each window toolkit provides its own and tests capture
// the box and fix the clock.

#include <filesystem>
#include <string>
#include <string_view>

namespace almanoria {

class MessageBoxService {
  public:
    virtual ~MessageBoxService() = default;
    // A modal box with an information icon and one OK button; returns when it is dismissed.
    virtual void ShowInformation(std::string_view text, std::string_view title) = 0;
};

struct LocalDateTime {
    int Year = 0;
    int Month = 1;  // 1 to 12
    int Day = 1;
    int Hour = 0;  // 0 to 23
    int Minute = 0;
    int Second = 0;
};

class ClockService {
  public:
    virtual ~ClockService() = default;
    virtual LocalDateTime Now() const = 0;
    // The month's abbreviated name in the user's locale ("Jan" in English).
    virtual std::string MonthAbbreviation(int month) const = 0;
    virtual std::string TimeSeparator() const { return ":"; }
};

// Who the running program is: its product name, its folder and its file name.
struct ProgramInfo {
    std::string ProductName;
    std::filesystem::path Directory;
    std::string FileName;  // without folder and extension
    // Where the log goes when the program's folder cannot take it, as /usr/bin cannot for an
    // installed Linux program: the XDG state folder on Linux, the local application data on
    // Windows; empty when there is no such place.
    std::filesystem::path LogFallbackDirectory = {};
};

// How Windows is asked for the user's locale: through GetLocaleInfoEx where kernel32 has it
// (Vista and later), else by the user's default locale number, as on XP. A lookup without it,
// {}, asks as on XP whatever the system has.
struct LocaleLookup {
#ifdef _WIN32
    using ByName = int(__stdcall*)(const wchar_t* locale, unsigned long item, wchar_t* text,
                                   int size);
    ByName GetLocaleInfoEx = nullptr;  // none: as on XP
#endif
    static LocaleLookup Newest();  // kernel32's own, where it has one
};

// The clock of this machine, in local time and the user's locale.
class SystemClock final : public ClockService {
  public:
    explicit SystemClock(LocaleLookup lookup = LocaleLookup::Newest()) : mLookup(lookup) {}
    LocalDateTime Now() const override;
    std::string MonthAbbreviation(int month) const override;
    std::string TimeSeparator() const override;

  private:
    [[maybe_unused]] LocaleLookup mLookup;  // Windows only
};

// The running executable, with the product name from the program's version information on
// Windows (the build's name elsewhere) and the place the log falls back to: the user's state
// folder on Linux, the local application data on Windows (Folders.hpp).
ProgramInfo RunningProgram();

// Text in the system's 8-bit code page, as the error log is written.
std::string ToSystemCodePage(std::string_view utf8);

}  // namespace almanoria
