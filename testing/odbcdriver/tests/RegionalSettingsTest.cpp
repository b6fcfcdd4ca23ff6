#include "testing/odbcdriver/RegionalSettings.hpp"

#include <gtest/gtest.h>

#include "testing/odbcdriver/DriverObjects.hpp"
#include "testing/odbcdriver/tests/LocaleEnvironment.hpp"

namespace almanoria::odbcdriver {
namespace {

TEST(ParseRegionalDate, ReadsDayFirstWhereTheSettingsSaySoAndFallsBackToMonthFirst) {
    const auto dayFirst = [](std::string_view text) {
        return ParseRegionalDate(text, DateOrder::DayFirst);
    };
    EXPECT_EQ(dayFirst("5/6/2012"), (DateTime{2012, 6, 5}));
    EXPECT_EQ(dayFirst("31/12/2012 14:30"), (DateTime{2012, 12, 31, 14, 30, 0}));
    // No 31st month: read month first, as Access reads it.
    EXPECT_EQ(dayFirst("12/31/2012"), (DateTime{2012, 12, 31}));
    // Year first is never turned round.
    EXPECT_EQ(dayFirst("2012-05-06"), (DateTime{2012, 5, 6}));
    EXPECT_FALSE(dayFirst("31/31/2012").has_value());
    EXPECT_FALSE(dayFirst("30/2/2012").has_value());
    // The program's own order stays month first, and strict.
    EXPECT_EQ(ParseRegionalDate("5/6/2012", {}), (DateTime{2012, 5, 6}));
    EXPECT_FALSE(ParseRegionalDate("31/12/2012", {}).has_value());
}

TEST(ParseRegionalDate, WithoutAmAndPmInTheSettingsATimeCarriesNoMarker) {
    const DateSettings german(DateOrder::DayFirst, false);
    EXPECT_FALSE(ParseRegionalDate("0:00 AM", german).has_value());
    EXPECT_FALSE(ParseRegionalDate("1/1/2012 2:30 PM", german).has_value());
    EXPECT_EQ(ParseRegionalDate("14:30", german), (DateTime{1899, 12, 30, 14, 30, 0}));
    EXPECT_EQ(ParseRegionalDate("5/6/2012 00:00:00", german), (DateTime{2012, 6, 5}));
}

TEST(DescribeDeclaredType, AccessTypesSizesAndMemos) {
    EXPECT_EQ(DescribeDeclaredType("c", "datetime").Type, SQL_TYPE_TIMESTAMP);
    EXPECT_EQ(DescribeDeclaredType("c", "YESNO").Type, SQL_BIT);
    EXPECT_EQ(DescribeDeclaredType("c", "INTEGER PRIMARY KEY").Type, SQL_INTEGER);
    EXPECT_EQ(DescribeDeclaredType("c", "Short").Type, SQL_SMALLINT);
    EXPECT_EQ(DescribeDeclaredType("c", "CURRENCY").Type, SQL_DOUBLE);
    EXPECT_EQ(DescribeDeclaredType("c", "SINGLE").Type, SQL_REAL);
    const ColumnDescription sized = DescribeDeclaredType("c", "TEXT ( 50 )");
    EXPECT_EQ(sized.Type, SQL_WVARCHAR);
    EXPECT_EQ(sized.Size, 50u);
    EXPECT_EQ(TextSizeOf("TEXT"), 255u);
    EXPECT_EQ(TextSizeOf("varchar(10)"), 10u);
    for (const char* memo : {"LONGTEXT", "MEMO", "", "CLOB"}) {
        EXPECT_EQ(TextSizeOf(memo), 0u) << memo;
        EXPECT_EQ(DescribeDeclaredType("c", memo).Type, SQL_WLONGVARCHAR) << memo;
        EXPECT_EQ(DescribeDeclaredType("c", memo).Size, kMemoSize) << memo;
    }
}

TEST(DateOrderOfFormat, TheFirstOfDayAndMonthDecides) {
    EXPECT_EQ(DateOrderOfFormat("%d/%m/%Y"), DateOrder::DayFirst);  // en_GB
    EXPECT_EQ(DateOrderOfFormat("%d.%m.%Y"), DateOrder::DayFirst);  // de_DE
    EXPECT_EQ(DateOrderOfFormat("%e-%b-%Y"), DateOrder::DayFirst);
    EXPECT_EQ(DateOrderOfFormat("%-d/%-m/%Y"), DateOrder::DayFirst);
    EXPECT_EQ(DateOrderOfFormat("%m/%d/%Y"), DateOrder::MonthFirst);  // en_US
    EXPECT_EQ(DateOrderOfFormat("%m/%d/%y"), DateOrder::MonthFirst);  // C
    EXPECT_EQ(DateOrderOfFormat("%D"), DateOrder::MonthFirst);
    EXPECT_EQ(DateOrderOfFormat("%Y-%m-%d"), DateOrder::MonthFirst);
    EXPECT_EQ(DateOrderOfFormat("%%d %m %d"), DateOrder::MonthFirst);  // "%%" is no conversion
    EXPECT_EQ(DateOrderOfFormat(""), DateOrder::MonthFirst);
}

TEST(RegionalDateOrder, FollowsTheLocaleTheEnvironmentNames) {
    for (const char* name : {"en_GB.UTF-8", "de_DE.UTF-8", "en_US.UTF-8"}) {
        if (!IsInstalled(name)) GTEST_SKIP() << name << " is not installed (Debian's locales-all)";
    }
    {
        const LocaleEnvironment british("en_GB.UTF-8");
        EXPECT_EQ(RegionalDateOrder(), DateOrder::DayFirst);
    }
    {
        const LocaleEnvironment german("de_DE.UTF-8");
        EXPECT_EQ(RegionalDateOrder(), DateOrder::DayFirst);
    }
    {
        const LocaleEnvironment american("en_US.UTF-8");
        EXPECT_EQ(RegionalDateOrder(), DateOrder::MonthFirst);
    }
    {
        const LocaleEnvironment plain("C");
        EXPECT_EQ(RegionalDateOrder(), DateOrder::MonthFirst);
    }
    {
        const LocaleEnvironment missing("xx_NOWHERE.UTF-8");
        EXPECT_EQ(RegionalDateOrder(), DateOrder::MonthFirst);
    }
}

TEST(HostPath, WindowsDrivePathsLieInTheWinePrefix) {
    EXPECT_EQ(HostPath("C:\\Program Files\\Almanoria Desktop Calendar\\dbcalndr.mdb", "/p/wine",
                       "/home/u"),
              "/p/wine/dosdevices/c:/Program Files/Almanoria Desktop Calendar/dbcalndr.mdb");
    EXPECT_EQ(HostPath("d:/cal.mdb", "", "/home/u"), "/home/u/.wine/dosdevices/d:/cal.mdb");
    EXPECT_EQ(HostPath("/tmp/a\\b.mdb", "/p", "/h"), "/tmp/a\\b.mdb");
    EXPECT_EQ(HostPath("C:", "/p", "/h"), "C:");
    EXPECT_EQ(HostPath("", "/p", "/h"), "");
}

TEST(MatchesPattern, PercentUnderscoreAndEscapeWithoutRegardToCase) {
    EXPECT_TRUE(MatchesPattern("Dates", "Dates"));
    EXPECT_TRUE(MatchesPattern("Dates", "dATES"));
    EXPECT_TRUE(MatchesPattern("EventDates", "%Dates"));
    EXPECT_TRUE(MatchesPattern("EventDates", "Event_ates"));
    EXPECT_FALSE(MatchesPattern("Anything", ""));
    EXPECT_TRUE(MatchesPattern("", ""));
    EXPECT_TRUE(MatchesPattern("Anything", "%"));
    EXPECT_TRUE(MatchesPattern("a_b", "a\\_b"));
    EXPECT_FALSE(MatchesPattern("axb", "a\\_b"));
    EXPECT_FALSE(MatchesPattern("Dates", "Date"));
    EXPECT_FALSE(MatchesPattern("EventDates", "Dates%"));
    EXPECT_TRUE(MatchesPattern("EventDates", "E%t%s"));
}

}  // namespace
}  // namespace almanoria::odbcdriver
