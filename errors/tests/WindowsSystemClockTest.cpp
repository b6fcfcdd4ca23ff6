// The clock of Windows: the system's local time whatever TZ says, the month names and the time
// separator of the user's locale, asked as Vista and later ask it and as XP does, and the log
// written in the ANSI code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "errors/PlatformServices.hpp"
#include "errors/basErrorHandler.hpp"
#include "testing/support/TestSupport.hpp"

namespace almanoria {
namespace {

std::time_t Seconds(const SYSTEMTIME& time) {
    return testing::UtcSeconds(
        {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond});
}

TEST(SystemClock, GivesTheSystemsLocalTimeWhateverTzSays) {
    // msvcrt reads TZ in a form of its own; a clock that listened would be 14 hours ahead.
    const testing::TimeZoneScope zone("ALM-14");
    SYSTEMTIME utc{};
    GetSystemTime(&utc);
    SYSTEMTIME local{};
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
    const std::time_t offset = Seconds(local) - Seconds(utc);
    const std::time_t before = Seconds(utc);

    const LocalDateTime now = SystemClock().Now();
    SYSTEMTIME after{};
    GetSystemTime(&after);

    const std::time_t shown = testing::UtcSeconds(now) - offset;
    EXPECT_GE(shown, before);
    EXPECT_LE(shown, Seconds(after));
}

// What Windows gives for the user's locales the suite runs under: ctest sets LC_ALL, from
// which Wine takes the user's locale, and names it in ALMANORIA_USER_LOCALE.
struct LocaleFacts {
    const char* Name;
    LCID Locale;
    std::array<const char*, 3> Months;  // January, February, December
    const char* TimeSeparator;
};
constexpr LocaleFacts kLocales[] = {
    {"en_US", 0x0409, {"Jan", "Feb", "Dec"}, ":"},
    {"fi_FI", 0x040B, {"tammi", "helmi", "joulu"}, "."},  // H.mm.ss
    {"fr_FR", 0x040C, {"janv.", "févr.", "déc."}, ":"},
};

TEST(SystemClock, NamesTheMonthsAndSeparatesTheTimeAsTheUsersLocaleBothWays) {
    const char* name = std::getenv("ALMANORIA_USER_LOCALE");
    if (!name) GTEST_SKIP() << "ctest names the user's locale it sets in ALMANORIA_USER_LOCALE";
    const LocaleFacts* facts = nullptr;
    for (const LocaleFacts& known : kLocales) {
        if (std::string_view(known.Name) == name) facts = &known;
    }
    ASSERT_NE(facts, nullptr) << "no facts for " << name;
    ASSERT_EQ(GetUserDefaultLCID(), facts->Locale) << name;
    for (const LocaleLookup lookup : {LocaleLookup::Newest, LocaleLookup::AsOnXp}) {
        SCOPED_TRACE(lookup == LocaleLookup::Newest ? "GetLocaleInfoEx" : "as on XP");
        const SystemClock clock(lookup);
        EXPECT_EQ(clock.MonthAbbreviation(1), facts->Months[0]);
        EXPECT_EQ(clock.MonthAbbreviation(2), facts->Months[1]);
        EXPECT_EQ(clock.MonthAbbreviation(12), facts->Months[2]);
        EXPECT_EQ(clock.TimeSeparator(), facts->TimeSeparator);
    }
}

TEST(SystemClock, TheXpLookupAsksTheSameLocaleForEveryMonth) {
    const SystemClock newest(LocaleLookup::Newest);
    const SystemClock asOnXp(LocaleLookup::AsOnXp);
    for (int month = 1; month <= 12; ++month) {
        EXPECT_FALSE(asOnXp.MonthAbbreviation(month).empty()) << month;
        EXPECT_EQ(asOnXp.MonthAbbreviation(month), newest.MonthAbbreviation(month)) << month;
    }
}

// The log's eight lines, its accented month in the ANSI code page as Notepad reads it.
TEST(HandleErrorWindows, TheLogIsWrittenInTheAnsiCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
    class FrenchClock final : public ClockService {
      public:
        LocalDateTime Now() const override { return {2012, 2, 29, 18, 4, 5}; }
        std::string MonthAbbreviation(int month) const override {
            return month == 2 ? "févr." : "?";
        }
    } clock;
    testing::TempDir dir;
    testing::RecordingMessageBox box;
    basErrorHandler handler{box, clock, {"Almanoria Desktop Calendar", dir.Path(), "AlmUpdate"}};
    handler.Err.Number = -2147217900;
    handler.Err.Description = "Syntax error in INSERT INTO statement.";
    handler.Err.Line = 90;
    handler.HandleError("basDatabase.AddEventToDatabase", vbTrue, "", vbFalse);
    EXPECT_EQ(testing::ReadFile(dir / "error.log"),
              "29-f\xE9vr.-2012  18:04:05\r\n"
              "Error logged by application: AlmUpdate\r\n"
              "In module: basDatabase.AddEventToDatabase\r\n"
              "At line: 90\r\n"
              "Error Number: -2147217900\r\n"
              "Error Description: Syntax error in INSERT INTO statement.\r\n"
              "--------------------------------------------------\r\n"
              "\r\n");
    // The box shows the program's own text, not the log's bytes.
    EXPECT_NE(box.Shown.at(0).Text.find("Error Number: \t-2147217900\r\n"), std::string::npos);
}

}  // namespace
}  // namespace almanoria
