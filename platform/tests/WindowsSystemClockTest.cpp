// The clock of Windows: the system's local time whatever TZ says, the month names and the time
// separator of the user's locale, asked as Vista and later ask it and as XP does.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "platform/PlatformServices.hpp"
#include "platform/Unicode.hpp"
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
    for (const bool asOnXp : {false, true}) {
        SCOPED_TRACE(asOnXp ? "as on XP" : "GetLocaleInfoEx");
        const SystemClock clock(asOnXp ? LocaleLookup{} : LocaleLookup::Newest());
        EXPECT_EQ(clock.MonthAbbreviation(1), facts->Months[0]);
        EXPECT_EQ(clock.MonthAbbreviation(2), facts->Months[1]);
        EXPECT_EQ(clock.MonthAbbreviation(12), facts->Months[2]);
        EXPECT_EQ(clock.TimeSeparator(), facts->TimeSeparator);
    }
}

// A GetLocaleInfoEx of the test's own, which answers every item with "ex".
int WINAPI AnswerEx(const wchar_t*, LCTYPE, wchar_t* text, int size) {
    if (size < 3) return 0;
    text[0] = L'e';
    text[1] = L'x';
    text[2] = L'\0';
    return 3;
}

std::string ByNumber(LCTYPE item) {
    wchar_t text[80] = {};
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, item, text, 80);
    return length > 1 ? ToUtf8(text, static_cast<std::size_t>(length - 1)) : "";
}

TEST(SystemClock, AsksByLocaleNameWhereKernel32CanAndByNumberAsOnXp) {
    // Vista and later, Wine too, have GetLocaleInfoEx, and the clock takes its answers.
    ASSERT_NE(LocaleLookup::Newest().GetLocaleInfoEx, nullptr);
    const SystemClock byName(LocaleLookup{&AnswerEx});
    EXPECT_EQ(byName.MonthAbbreviation(3), "ex");
    EXPECT_EQ(byName.TimeSeparator(), "ex");

    // Without it, every month is the one the locale number names, and the same as by name.
    const SystemClock newest(LocaleLookup::Newest());
    const SystemClock asOnXp(LocaleLookup{});
    EXPECT_EQ(asOnXp.TimeSeparator(), ByNumber(LOCALE_STIME));
    for (int month = 1; month <= 12; ++month) {
        const std::string name = asOnXp.MonthAbbreviation(month);
        EXPECT_FALSE(name.empty()) << month;
        EXPECT_EQ(name, newest.MonthAbbreviation(month)) << month;
        EXPECT_EQ(name, ByNumber(LOCALE_SABBREVMONTHNAME1 + static_cast<LCTYPE>(month - 1)))
            << month;
    }
}

}  // namespace
}  // namespace almanoria
