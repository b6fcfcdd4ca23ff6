// What the references of testing/years/check-years.py cannot judge: that the rules give back the
// stored year, where the church year's notes go, the order of names on a shared day, and the
// edges of the years the program writes.
#include "yeardata/YearRules.hpp"

#include <gtest/gtest.h>

#include <string>

#include "yeardata/basStringFunctions.hpp"

namespace almanoria {
namespace {

std::string Field(const YearTable& table, std::string_view date, Integer n) {
    for (const std::string& record : table) {
        if (GetFields(record, "|", 1, 0) == date) return GetFields(record, "|", n, 0);
    }
    ADD_FAILURE() << date << " is not in the table";
    return "";
}

TEST(YearByRule, GivesBackTheStoredYearButJanuary5sColour) {
    YearTable stored;
    BuildYearTable(stored, kStoredYear);
    YearTable ruled = YearByRule(kStoredYear);
    ASSERT_EQ(ruled.size(), stored.size());
    EXPECT_EQ(ruled[4], "1/5/2012|White||");
    EXPECT_EQ(stored[4], "1/5/2012|Normal||");
    ruled[4] = stored[4];
    for (std::size_t day = 0; day < stored.size(); ++day)
        EXPECT_EQ(ruled[day], stored[day]) << "day " << day;
}

TEST(YearByRule, NotesBelongToTheirDayOfTheChurchYear) {
    YearTable stored;
    BuildYearTable(stored, kStoredYear);
    const YearTable y2027 = YearByRule(2027);
    // Easter 2027 is March 28, Advent begins November 28.
    EXPECT_EQ(Field(y2027, "2/14/2027", 4), Field(stored, "2/26/2012", 4));  // 1st in Lent
    EXPECT_EQ(Field(y2027, "3/14/2027", 4), Field(stored, "2/26/2012", 4));  // 4th in Lent
    EXPECT_EQ(Field(y2027, "5/9/2027", 4), Field(stored, "4/15/2012", 4));   // 7th of Easter
    EXPECT_EQ(Field(y2027, "3/28/2027", 4), "");                             // Easter itself
    EXPECT_EQ(Field(y2027, "12/3/2027", 4), Field(stored, "12/7/2012", 4));  // Advent 1 + 5
    EXPECT_EQ(Field(y2027, "12/4/2027", 4), Field(stored, "12/8/2012", 4));  // Advent 1 + 6
    EXPECT_EQ(Field(y2027, "12/7/2027", 3), "Pearl Harbor Day");
    EXPECT_EQ(Field(y2027, "12/7/2027", 4), "");
    EXPECT_EQ(Field(y2027, "1/5/2027", 2), "White");
}

TEST(YearByRule, SharedDaysNameTheChurchYearFirstThenTheOthersInTheirOrder) {
    EXPECT_EQ(Field(YearByRule(2013), "3/10/2013", 3),
              "4th Sunday in Lent^Daylight Savings Time Begins^One Great Hour of Sharing");
    EXPECT_EQ(Field(YearByRule(2018), "4/1/2018", 3), "Resurrection of the Lord^April Fool's Day");
    EXPECT_EQ(Field(YearByRule(2017), "12/24/2017", 3), "4th Sunday Of Advent^Christmas Eve");
    EXPECT_EQ(Field(YearByRule(2017), "12/24/2017", 4), Field(YearByRule(2012), "12/23/2012", 4));
}

TEST(YearByRule, EdgesOfTheYearsWritten) {
    EXPECT_EQ(YearByRule(kFirstYear).size(), 365u);
    EXPECT_EQ(YearByRule(2096).size(), 366u);
    const YearTable last = YearByRule(kLastYear);
    ASSERT_EQ(last.size(), 365u);
    EXPECT_EQ(last.front(), "1/1/2099|White|New Year's Day|");
    EXPECT_EQ(last.back(), "12/31/2099|White|New Year's Eve|");
    EXPECT_EQ(ParseYear("2007"), 2007);
    EXPECT_EQ(ParseYear("2099"), 2099);
    for (const char* refused :
         {"2006", "2100", "", "abcd", "2027 ", " 2027", "+202", "02027", "2e3"})
        EXPECT_EQ(ParseYear(refused), std::nullopt) << '"' << refused << '"';
}

}  // namespace
}  // namespace almanoria
