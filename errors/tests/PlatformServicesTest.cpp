// The real platform services of this machine: the clock, the month names and time separator
// of the user's locale, and the running program.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "errors/PlatformServices.hpp"

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

// The time zone switched for one test.
class TimeZoneScope {
  public:
    explicit TimeZoneScope(const char* zone) {
        if (const char* saved = std::getenv("TZ")) mSaved = saved;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZoneScope() {
        if (mSaved) {
            setenv("TZ", mSaved->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    TimeZoneScope(const TimeZoneScope&) = delete;
    TimeZoneScope& operator=(const TimeZoneScope&) = delete;

  private:
    std::optional<std::string> mSaved;
};

TEST(SystemClock, GivesTheLocalTimeOfTheUsersZone) {
    const TimeZoneScope zone("ALM-14");  // fourteen hours ahead of UTC
    const SystemClock clock;
    const std::time_t before = std::time(nullptr);
    const LocalDateTime now = clock.Now();
    const std::time_t after = std::time(nullptr);

    std::tm asUtc{};
    asUtc.tm_year = now.Year - 1900;
    asUtc.tm_mon = now.Month - 1;
    asUtc.tm_mday = now.Day;
    asUtc.tm_hour = now.Hour;
    asUtc.tm_min = now.Minute;
    asUtc.tm_sec = now.Second;
    const std::time_t shown = timegm(&asUtc) - 14 * 3600;
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

TEST(RunningProgram, IsThisTestProgramInItsFolder) {
    const ProgramInfo program = RunningProgram();
    EXPECT_EQ(program.ProductName, "Almanoria Desktop Calendar");
    EXPECT_EQ(program.FileName, "errors_tests");
    std::error_code error;
    EXPECT_TRUE(std::filesystem::equivalent(program.Directory, ALMANORIA_TESTS_DIRECTORY, error))
        << program.Directory << " " << error.message();
}

}  // namespace
}  // namespace almanoria
