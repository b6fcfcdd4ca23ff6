// The clock of a POSIX system: local time by TZ, the month names and the time separator of
// the C library's locale.
#include <gtest/gtest.h>

#include <clocale>
#include <ctime>
#include <string>

#include "platform/PlatformServices.hpp"
#include "testing/support/TestSupport.hpp"

namespace almanoria {
namespace {

// The process's locale switched for one test, as the program's main sets the user's.
class LocaleScope {
  public:
    explicit LocaleScope(const char* name) : mSaved(std::setlocale(LC_ALL, nullptr)) {
        mActive = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleScope() { std::setlocale(LC_ALL, mSaved.c_str()); }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;
    bool Active() const { return mActive; }

  private:
    std::string mSaved;
    bool mActive = false;
};

constexpr const char* kNotInstalled =
    "the locale is not installed here (Debian's locales-all has it)";

TEST(SystemClock, GivesTheLocalTimeOfTheUsersZone) {
    const testing::TimeZoneScope zone("ALM-14");  // fourteen hours ahead of UTC
    const SystemClock clock;
    const std::time_t before = std::time(nullptr);
    const LocalDateTime now = clock.Now();
    const std::time_t after = std::time(nullptr);

    const std::time_t shown = testing::UtcSeconds(now) - 14 * 3600;
    EXPECT_GE(shown, before);
    EXPECT_LE(shown, after);
}

TEST(SystemClock, NamesTheMonthsInTheUsersLocale) {
    const SystemClock clock;
    {
        const LocaleScope locale("C");
        EXPECT_EQ(clock.MonthAbbreviation(1), "Jan");
        EXPECT_EQ(clock.MonthAbbreviation(12), "Dec");
    }
    const LocaleScope locale("fr_FR.UTF-8");
    if (!locale.Active()) GTEST_SKIP() << kNotInstalled;
    EXPECT_EQ(clock.MonthAbbreviation(2), "févr.");
    EXPECT_EQ(clock.MonthAbbreviation(8), "août");
    EXPECT_EQ(clock.MonthAbbreviation(12), "déc.");
}

TEST(SystemClock, TakesTheTimeSeparatorFromTheUsersLocale) {
    const SystemClock clock;
    {
        const LocaleScope locale("C");
        EXPECT_EQ(clock.TimeSeparator(), ":");
    }
    {
        const LocaleScope locale("fi_FI.UTF-8");  // %H.%M.%S
        if (!locale.Active()) GTEST_SKIP() << kNotInstalled;
        EXPECT_EQ(clock.TimeSeparator(), ".");
    }
    {
        const LocaleScope locale("nb_NO.UTF-8");  // "kl. %H.%M": the letters before are no hour
        if (!locale.Active()) GTEST_SKIP() << kNotInstalled;
        EXPECT_EQ(clock.TimeSeparator(), ".");
    }
    {
        // %H時%M分%S秒 has no one separator, and a log line needs one.
        const LocaleScope locale("ja_JP.UTF-8");
        if (!locale.Active()) GTEST_SKIP() << kNotInstalled;
        EXPECT_EQ(clock.TimeSeparator(), ":");
    }
}

}  // namespace
}  // namespace almanoria
