#include "yeardata/basUpdate.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "yeardata/TextLength.hpp"
#include "yeardata/basStringFunctions.hpp"

namespace almanoria {
namespace {

YearTable BuiltTable() {
    YearTable table;
    BuildYearTable(table);
    return table;
}

std::string Field(const std::string& record, Integer n) {
    return GetFields(record, "|", n, 0);
}

// The names of a names field, taken apart as the event import does: until the first empty one.
std::vector<std::string> Names(const std::string& names) {
    std::vector<std::string> result;
    for (Integer i = 1;; ++i) {
        std::string name = GetFields(names, "^", i, 0);
        if (name.empty()) return result;
        result.push_back(std::move(name));
    }
}

std::size_t CountOf(std::string_view text, char c) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

// The calendar's named days, names fields verbatim.
const std::map<std::string, std::string> kNamedDays = {
    {"1/1/2012", "New Year's Day"},
    {"1/6/2012", "Epiphany of the Lord"},
    {"1/8/2012", "Baptism of the Lord"},
    {"1/16/2012", "Martin Luther King, Jr. Day"},
    {"2/2/2012", "Groundhog Day"},
    {"2/12/2012", "Lincoln's Birthday"},
    {"2/14/2012", "Valentines Day"},
    {"2/19/2012", "Transfiguration of the Lord"},
    {"2/20/2012", "President's Day"},
    {"2/21/2012", "Mardi Gras"},
    {"2/22/2012", "Ash Wednesday^Washington's Birthday"},
    {"2/26/2012", "1st Sunday in Lent"},
    {"3/4/2012", "2nd Sunday in Lent"},
    {"3/11/2012", "3rd Sunday in Lent^Daylight Savings Time Begins"},
    {"3/17/2012", "St. Patrick's Day"},
    {"3/18/2012", "4th Sunday in Lent^One Great Hour of Sharing"},
    {"3/20/2012", "First Day of Spring"},
    {"3/25/2012", "5th Sunday in Lent"},
    {"4/1/2012", "Palm Sunday^April Fool's Day"},
    {"4/5/2012", "Maundy Thursday"},
    {"4/6/2012", "Good Friday"},
    {"4/7/2012", "Great Vigil of Easter^Passover Begins"},
    {"4/8/2012", "Resurrection of the Lord"},
    {"4/15/2012", "2nd Sunday Of Easter"},
    {"4/19/2012", "Holocaust Remembrance Day"},
    {"4/22/2012", "3rd Sunday Of Easter^Earth Day"},
    {"4/27/2012", "Arbor Day"},
    {"4/29/2012", "4th Sunday Of Easter"},
    {"5/3/2012", "National Day of Prayer"},
    {"5/6/2012", "5th Sunday Of Easter"},
    {"5/13/2012", "6th Sunday Of Easter^Mother's Day"},
    {"5/17/2012", "Ascension of the Lord"},
    {"5/19/2012", "Armed Forces Day"},
    {"5/20/2012", "7th Sunday Of Easter"},
    {"5/27/2012", "Day of Pentecost"},
    {"5/28/2012", "Memorial Day"},
    {"6/3/2012", "Trinity Sunday"},
    {"6/14/2012", "Flag Day"},
    {"6/17/2012", "Fathers Day"},
    {"6/20/2012", "First Day of Summer"},
    {"7/4/2012", "US Independence Day"},
    {"9/3/2012", "Labor Day"},
    {"9/11/2012", "Patriot Day"},
    {"9/17/2012", "Rosh Hashanah"},
    {"9/22/2012", "First Day of Autumn"},
    {"9/26/2012", "Yom Kippur"},
    {"10/8/2012", "Columbus Day"},
    {"10/31/2012", "Halloween"},
    {"11/1/2012", "All Saints Day"},
    {"11/4/2012", "Daylight Savings Time Ends"},
    {"11/6/2012", "Election Day"},
    {"11/11/2012", "Veterans Day"},
    {"11/22/2012", "Thanksgiving Day"},
    {"11/25/2012", "Christ the King Sunday"},
    {"12/1/2012", "World AIDS Day"},
    {"12/2/2012", "1st Sunday Of Advent"},
    {"12/7/2012", "Pearl Harbor Day"},
    {"12/9/2012", "2nd Sunday Of Advent^Hanukkah"},
    {"12/16/2012", "3rd Sunday Of Advent"},
    {"12/21/2012", "First Day of Winter"},
    {"12/23/2012", "4th Sunday Of Advent"},
    {"12/24/2012", "Christmas Eve"},
    {"12/25/2012", "Christmas Day"},
    {"12/31/2012", "New Year's Eve"},
};

// The noted days and the length each note must have.
const std::map<std::string, std::size_t> kNoteLengths = {
    {"1/6/2012", 359},   {"1/8/2012", 190},   {"2/19/2012", 268},  {"2/22/2012", 546},
    {"2/26/2012", 603},  {"3/4/2012", 603},   {"3/11/2012", 603},  {"3/18/2012", 603},
    {"3/25/2012", 603},  {"4/1/2012", 261},   {"4/5/2012", 413},   {"4/6/2012", 204},
    {"4/7/2012", 424},   {"4/15/2012", 78},   {"4/22/2012", 78},   {"4/29/2012", 78},
    {"5/6/2012", 78},    {"5/13/2012", 78},   {"5/20/2012", 78},   {"5/27/2012", 440},
    {"6/3/2012", 105},   {"11/1/2012", 142},  {"11/25/2012", 368}, {"12/2/2012", 452},
    {"12/3/2012", 418},  {"12/4/2012", 366},  {"12/5/2012", 317},  {"12/6/2012", 301},
    {"12/7/2012", 428},  {"12/8/2012", 157},  {"12/9/2012", 156},  {"12/16/2012", 105},
    {"12/23/2012", 434}, {"12/25/2012", 230},
};

TEST(BuildYearTable, LeavesExactly366Entries) {
    YearTable table;
    BuildYearTable(table);
    EXPECT_EQ(table.size(), 366u);
    for (const std::string& record : table)
        EXPECT_FALSE(record.empty());
}

TEST(BuildYearTable, DiscardsWhatTheTableHeld) {
    const YearTable expected = BuiltTable();
    YearTable larger(1000, "stale|Green||");
    BuildYearTable(larger);
    EXPECT_EQ(larger, expected);
    YearTable smaller{"x", "y"};
    BuildYearTable(smaller);
    EXPECT_EQ(smaller, expected);
    BuildYearTable(smaller);
    EXPECT_EQ(smaller, expected);
}

TEST(BuildYearTable, KnownRecordsVerbatim) {
    const YearTable table = BuiltTable();
    EXPECT_EQ(table.at(0), "1/1/2012|White|New Year's Day|");
    EXPECT_EQ(table.at(1), "1/2/2012|White||");
    EXPECT_EQ(table.at(4), "1/5/2012|Normal||");
    EXPECT_EQ(table.at(6), "1/7/2012|Green||");
    EXPECT_EQ(table.at(59), "2/29/2012|Purple||");
    EXPECT_EQ(table.at(365), "12/31/2012|White|New Year's Eve|");
}

TEST(BuildYearTable, DatesRunThroughTheYearWithoutLeadingZeros) {
    using namespace std::chrono;
    const YearTable table = BuiltTable();
    const sys_days start = year{2012} / January / 1;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const year_month_day date{start + days{static_cast<int>(i)}};
        const std::string expected = std::to_string(unsigned{date.month()}) + "/" +
                                     std::to_string(unsigned{date.day()}) + "/" +
                                     std::to_string(int{date.year()});
        EXPECT_EQ(Field(table[i], 1), expected) << i;
    }
    EXPECT_EQ(year_month_day{start + days{365}}, year{2012} / December / 31);
}

TEST(BuildYearTable, EveryRecordHasFourFields) {
    for (const std::string& record : BuiltTable()) {
        EXPECT_EQ(CountOf(record, '|'), 3u) << record;
        EXPECT_EQ(Field(record, 5), "") << record;
        EXPECT_EQ(GetFields(record, "|", 1, 4), record);
    }
}

TEST(BuildYearTable, ColourCountsAndRuns) {
    std::map<std::string, int> counts;
    int runs = 0;
    std::string previous;
    for (const std::string& record : BuiltTable()) {
        const std::string colour = Field(record, 2);
        ++counts[colour];
        if (colour != previous) ++runs;
        previous = colour;
    }
    const std::map<std::string, int> expected = {{"Green", 229}, {"Purple", 67}, {"White", 66},
                                                 {"Gray", 2},    {"Red", 1},     {"Normal", 1}};
    EXPECT_EQ(counts, expected);
    EXPECT_EQ(runs, 21);
}

TEST(BuildYearTable, NamesFieldsVerbatim) {
    int namedDays = 0;
    std::size_t nameCount = 0;
    std::size_t namesWithApostrophe = 0;
    std::size_t longestName = 0;
    for (const std::string& record : BuiltTable()) {
        const std::string date = Field(record, 1);
        const std::string names = Field(record, 3);
        const auto named = kNamedDays.find(date);
        if (named == kNamedDays.end()) {
            EXPECT_EQ(names, "") << date;
            continue;
        }
        ++namedDays;
        EXPECT_EQ(names, named->second) << date;
        for (const std::string& name : Names(names)) {
            ++nameCount;
            namesWithApostrophe += CountOf(name, '\'') == 1 ? 1 : 0;
            longestName = std::max(longestName, Utf16Length(name));
        }
        EXPECT_EQ(Names(names).size(), CountOf(names, '^') + 1) << date;
    }
    EXPECT_EQ(namedDays, 64);
    EXPECT_EQ(nameCount, 72u);
    EXPECT_EQ(namesWithApostrophe, 8u);
    EXPECT_EQ(longestName, 28u);
}

TEST(BuildYearTable, NotesHaveTheirLengths) {
    std::set<std::string> distinct;
    int notedDays = 0;
    for (const std::string& record : BuiltTable()) {
        const std::string date = Field(record, 1);
        const std::string notes = Field(record, 4);
        const auto required = kNoteLengths.find(date);
        if (required == kNoteLengths.end()) {
            EXPECT_EQ(notes, "") << date;
            continue;
        }
        ++notedDays;
        distinct.insert(notes);
        EXPECT_EQ(Utf16Length(notes), required->second) << date;
        EXPECT_EQ(CountOf(notes, '^'), 0u) << date;
        EXPECT_EQ(CountOf(notes, '\n') + CountOf(notes, '\r'), 0u) << date;
    }
    EXPECT_EQ(notedDays, 34);
    EXPECT_EQ(distinct.size(), 25u);
}

TEST(BuildYearTable, SharedNotesAreOneText) {
    const YearTable table = BuiltTable();
    std::map<std::string, std::string> notes;
    for (const std::string& record : table)
        notes[Field(record, 1)] = Field(record, 4);
    for (const char* date : {"3/4/2012", "3/11/2012", "3/18/2012", "3/25/2012"}) {
        EXPECT_EQ(notes[date], notes["2/26/2012"]) << date;
    }
    for (const char* date : {"4/22/2012", "4/29/2012", "5/6/2012", "5/13/2012", "5/20/2012"}) {
        EXPECT_EQ(notes[date], notes["4/15/2012"]) << date;
    }
}

TEST(BuildYearTable, NoteApostrophesAreDoubled) {
    for (const std::string& record : BuiltTable()) {
        const std::string notes = Field(record, 4);
        std::size_t run = 0;
        for (const char c : notes + '.') {
            if (c == '\'') {
                ++run;
            } else {
                EXPECT_EQ(run % 2, 0u) << Field(record, 1);
                run = 0;
            }
        }
    }
}

TEST(BuildYearTable, OnlyOneTypographicApostropheBeyondAscii) {
    constexpr std::string_view kRightSingleQuote = "\xE2\x80\x99";
    int found = 0;
    for (const std::string& record : BuiltTable()) {
        for (std::size_t i = 0; i < record.size(); ++i) {
            if (static_cast<unsigned char>(record[i]) < 0x80) continue;
            ASSERT_EQ(std::string_view(record).substr(i, 3), kRightSingleQuote) << record;
            EXPECT_EQ(Field(record, 1), "2/22/2012");
            EXPECT_GE(i, record.size() - Field(record, 4).size()) << "outside the notes";
            ++found;
            i += 2;
        }
    }
    EXPECT_EQ(found, 1);
    const std::string ashWednesday = Field(BuiltTable().at(52), 4);
    EXPECT_NE(ashWednesday.find(kRightSingleQuote), std::string::npos);
}

TEST(BuildYearTable, RecordLengthsWithinBounds) {
    std::size_t shortest = std::numeric_limits<std::size_t>::max();
    std::size_t longest = 0;
    for (const std::string& record : BuiltTable()) {
        shortest = std::min(shortest, Utf16Length(record));
        longest = std::max(longest, Utf16Length(record));
    }
    EXPECT_EQ(shortest, 16u);
    EXPECT_EQ(longest, 668u);
}

}  // namespace
}  // namespace almanoria
