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

#include "platform/Unicode.hpp"
#include "yeardata/basStringFunctions.hpp"
#include "yeardata/tests/YearFacts.hpp"

namespace almanoria {
namespace {

YearTable BuiltTable() {
    YearTable table;
    BuildYearTable(table, kStoredYear);
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

TEST(BuildYearTable, LeavesExactly366Entries) {
    YearTable table;
    BuildYearTable(table, kStoredYear);
    EXPECT_EQ(table.size(), 366u);
    for (const std::string& record : table)
        EXPECT_FALSE(record.empty());
}

TEST(BuildYearTable, DiscardsWhatTheTableHeld) {
    const YearTable expected = BuiltTable();
    YearTable larger(1000, "stale|Green||");
    BuildYearTable(larger, kStoredYear);
    EXPECT_EQ(larger, expected);
    YearTable smaller{"x", "y"};
    BuildYearTable(smaller, kStoredYear);
    EXPECT_EQ(smaller, expected);
    BuildYearTable(smaller, kStoredYear);
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
    const YearTable table = BuiltTable();
    std::map<std::string, int> counts;
    int runs = 0;
    std::string previous;
    for (const std::string& record : table) {
        const std::string colour = Field(record, 2);
        ++counts[colour];
        if (colour != previous) ++runs;
        previous = colour;
    }
    EXPECT_EQ(counts, kColourCounts);
    EXPECT_EQ(runs, kColourRuns);
    // Each run from its first day to its last.
    std::size_t day = 0;
    for (const ColourRun& run : kColourRunDays) {
        ASSERT_LT(day, table.size());
        EXPECT_EQ(Field(table[day], 1), run.From);
        for (; day < table.size(); ++day) {
            EXPECT_EQ(Field(table[day], 2), run.Colour) << Field(table[day], 1);
            if (Field(table[day], 1) == run.To) break;
        }
        ++day;
    }
    EXPECT_EQ(day, table.size());
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
    for (const std::vector<std::string>& days : kSharedNotes) {
        for (const std::string& date : days)
            EXPECT_EQ(notes[date], notes[days.front()]) << date;
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
