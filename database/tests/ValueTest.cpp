#include <gtest/gtest.h>

#include "database/Value.hpp"
#include "errors/Failure.hpp"
#include "testing/support/TestSupport.hpp"

namespace almanoria {
namespace {

using testing::FailureOf;

TEST(ValueText, EachKindBecomesTheTextTheOldLanguageGives) {
    EXPECT_EQ(CStr(Value::YesNo(true)), "True");
    EXPECT_EQ(CStr(Value::YesNo(false)), "False");
    EXPECT_EQ(CStr(Value::Number(std::int64_t{73})), "73");
    EXPECT_EQ(CStr(Value::Number(std::int64_t{-5})), "-5");
    EXPECT_EQ(CStr(Value::Number(1.5)), "1.5");
    EXPECT_EQ(CStr(Value::Number(2.0)), "2");
    EXPECT_EQ(CStr(Value::Text("Ash Wednesday")), "Ash Wednesday");
    EXPECT_EQ(CStr(Value::Date({2012, 5, 6})), "5/6/2012");
    EXPECT_EQ(CStr(Value::Date({2012, 12, 31, 23, 59, 0})), "12/31/2012 11:59:00 PM");
    EXPECT_EQ(CStr(Value::Date({1899, 12, 30, 0, 5, 0})), "12:05:00 AM");
}

TEST(ValueText, NullAppendedToEmptyTextIsEmptyButItsPlainTextIsAFailure) {
    EXPECT_EQ(AppendEmpty(Value()), "");
    EXPECT_EQ(AppendEmpty(Value::Number(std::int64_t{12})), "12");
    EXPECT_EQ(FailureOf([] { CStr(Value()); }).Number(), 94);
}

TEST(ValueWholeNumber, NumbersAndNumericTextConvert) {
    EXPECT_EQ(CLng(Value::Number(std::int64_t{2147483647})), 2147483647);
    EXPECT_EQ(CLng(Value::Text(" 7 ")), 7);
    EXPECT_EQ(CLng(Value::Text("-12")), -12);
    EXPECT_EQ(CLng(Value::Number(2.5)), 2);  // halves go to the even neighbour
    EXPECT_EQ(CLng(Value::Number(3.5)), 4);
    EXPECT_EQ(CLng(Value::YesNo(true)), -1);
}

TEST(ValueWholeNumber, WhatIsNoWholeNumberFailsWithItsOwnNumber) {
    EXPECT_EQ(FailureOf([] { CLng(Value()); }).Number(), 94);
    EXPECT_EQ(FailureOf([] { CLng(Value::Text("seven")); }).Number(), 13);
    EXPECT_EQ(FailureOf([] { CLng(Value::Text("")); }).Number(), 13);
    EXPECT_EQ(FailureOf([] { CLng(Value::Text("12abc")); }).Number(), 13);
    EXPECT_EQ(FailureOf([] { CLng(Value::Number(std::int64_t{2147483648})); }).Number(), 6);
    EXPECT_EQ(FailureOf([] { CLng(Value::Text("3000000000")); }).Number(), 6);
}

}  // namespace
}  // namespace almanoria
