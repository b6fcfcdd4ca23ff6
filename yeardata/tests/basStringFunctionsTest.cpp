#include "yeardata/basStringFunctions.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "errors/Failure.hpp"

namespace almanoria {
namespace {

constexpr const char* kRecord = "1/1/2012|White|New Year's Day|";

void ExpectOverflow(const std::function<void()>& operation) {
    try {
        operation();
        ADD_FAILURE() << "no failure raised";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Number(), 6);
        EXPECT_EQ(failure.Description(), "Overflow");
    }
}

TEST(GetField, TakesADayRecordApart) {
    EXPECT_EQ(GetField(kRecord, "|", 1), "1/1/2012");
    EXPECT_EQ(GetField(kRecord, "|", 2), "White");
    EXPECT_EQ(GetField(kRecord, "|", 3), "New Year's Day");
    EXPECT_EQ(GetField(kRecord, "|", 4), "");
    EXPECT_EQ(GetField(kRecord, "|", 5), "");
    EXPECT_EQ(GetField(kRecord, "|", 32767), "");
}

TEST(GetField, TakesANamesFieldApart) {
    const std::string names = "Ash Wednesday^Washington's Birthday";
    EXPECT_EQ(GetField(names, "^", 1), "Ash Wednesday");
    EXPECT_EQ(GetField(names, "^", 2), "Washington's Birthday");
    EXPECT_EQ(GetField(names, "^", 3), "");
}

TEST(GetField, TextWithoutDelimiterIsItsOwnFirstField) {
    EXPECT_EQ(GetField("New Year's Day", "^", 1), "New Year's Day");
    EXPECT_EQ(GetField("New Year's Day", "^", 2), "");
}

TEST(GetField, EmptyTextYieldsEmptyFields) {
    for (const Integer n :
         {Integer{-32767}, Integer{-1}, Integer{0}, Integer{1}, Integer{2}, Integer{32767}}) {
        EXPECT_EQ(GetField("", "|", n), "") << n;
    }
}

TEST(GetField, LeadingDelimiterGivesEmptyFirstField) {
    EXPECT_EQ(GetField("|White", "|", 1), "");
    EXPECT_EQ(GetField("|White", "|", 2), "White");
}

TEST(GetField, DoubledDelimitersEncloseAnEmptyField) {
    EXPECT_EQ(GetField("a||b", "|", 1), "a");
    EXPECT_EQ(GetField("a||b", "|", 2), "");
    EXPECT_EQ(GetField("a||b", "|", 3), "b");
}

TEST(GetField, MultiCharacterDelimiterIsSteppedOverWhole) {
    EXPECT_EQ(GetField("xaaay", "aa", 1), "x");
    EXPECT_EQ(GetField("xaaay", "aa", 2), "ay");
    EXPECT_EQ(GetField("xaaay", "aa", 3), "");
    EXPECT_EQ(GetField("aaa", "aa", 1), "");
    EXPECT_EQ(GetField("aaa", "aa", 2), "a");
}

TEST(GetField, DelimiterIsMatchedExactly) {
    EXPECT_EQ(GetField("aXbxc", "x", 1), "aXb");
    EXPECT_EQ(GetField("aXbxc", "x", 2), "c");
}

TEST(GetField, FieldNumbersZeroAndBelowYieldFieldOne) {
    for (const Integer n : {Integer{0}, Integer{-1}, Integer{-2}, Integer{-32767}}) {
        EXPECT_EQ(GetField(kRecord, "|", n), "1/1/2012") << n;
    }
}

TEST(GetField, MinimumFieldNumberOverflows) {
    ExpectOverflow([] { GetField(kRecord, "|", -32768); });
    ExpectOverflow([] { GetField("", "|", -32768); });
}

TEST(GetField, CharactersBeyondAsciiStayWhole) {
    const std::string text = "year\xE2\x80\x99s^caf\xC3\xA9";
    EXPECT_EQ(GetField(text, "^", 1), "year\xE2\x80\x99s");
    EXPECT_EQ(GetField(text, "^", 2), "caf\xC3\xA9");
}

TEST(GetField, EmptyDelimiterOccursNowhere) {
    EXPECT_EQ(GetField(kRecord, "", 1), kRecord);
    EXPECT_EQ(GetField(kRecord, "", 2), "");
    EXPECT_EQ(GetField(kRecord, "", 32767), "");
}

TEST(GetFields, LastZeroEqualsGetFieldForEveryFirst) {
    for (const char* text : {kRecord, "", "|", "a||b", "Ash Wednesday^Washington's Birthday"}) {
        for (int first = -32767; first <= 32766; ++first) {
            const auto n = static_cast<Integer>(first);
            ASSERT_EQ(GetFields(text, "|", n, 0), GetField(text, "|", n)) << text << " " << first;
            ASSERT_EQ(GetFields(text, "^", n, n), GetField(text, "^", n)) << text << " " << first;
        }
    }
}

TEST(GetFields, MinimumFirstOverflows) {
    ExpectOverflow([] { GetFields(kRecord, "|", -32768, 0); });
}

TEST(GetFields, SteppingPastMaximumOverflows) {
    ExpectOverflow([] { GetFields(kRecord, "|", 32767, 0); });
    ExpectOverflow([] { GetFields(kRecord, "|", 32760, 32767); });
}

TEST(GetFields, RangeJoinsFieldsWithTheDelimiter) {
    EXPECT_EQ(GetFields(kRecord, "|", 2, 3), "White|New Year's Day");
    EXPECT_EQ(GetFields(kRecord, "|", 1, 4), kRecord);
    EXPECT_EQ(GetFields("xaaay", "aa", 1, 2), "xaaay");
}

TEST(GetFields, RangeAppendsEmptyFieldsPastTheEnd) {
    EXPECT_EQ(GetFields(kRecord, "|", 3, 6), "New Year's Day|||");
    EXPECT_EQ(GetFields("a", "^", 1, 3), "a^^");
    EXPECT_EQ(GetFields("", "|", 1, 2), "|");
}

TEST(GetFields, FirstAboveLastYieldsEmpty) {
    EXPECT_EQ(GetFields(kRecord, "|", 3, 2), "");
    EXPECT_EQ(GetFields(kRecord, "|", 1, -1), "");
}

TEST(GetFields, EmptyDelimiterJoinsNothing) {
    EXPECT_EQ(GetFields(kRecord, "", 1, 3), kRecord);
}

}  // namespace
}  // namespace almanoria
