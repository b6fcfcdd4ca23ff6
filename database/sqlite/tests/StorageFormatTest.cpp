#include "database/sqlite/StorageFormat.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "database/sqlite/tests/EngineTestSupport.hpp"

namespace almanoria::sqlite {
namespace {

TEST(ParseNumberText, WholeNumbersAsIntegersFractionsAsReals) {
    EXPECT_EQ(ParseNumberText("5"), StoredValue(std::int64_t{5}));
    EXPECT_EQ(ParseNumberText(" -12 "), StoredValue(std::int64_t{-12}));
    EXPECT_EQ(ParseNumberText("+7"), StoredValue(std::int64_t{7}));
    EXPECT_EQ(ParseNumberText("1.5"), StoredValue(1.5));
    EXPECT_EQ(ParseNumberText("1e3"), StoredValue(1000.0));
    EXPECT_EQ(ParseNumberText("99999999999999999999"), StoredValue(1e20));
    for (const char* text : {"", " ", "abc", "5 6", "0x10", "1,5", "inf", "nan", "--5"}) {
        EXPECT_FALSE(ParseNumberText(text).has_value()) << text;
    }
}

TEST(StoreParameter, ConvertsForTheColumnOrReportsAMismatch) {
    Parameter date;
    date.Kind = dialect::TokenKind::Date;
    date.Date = {2012, 5, 6};
    EXPECT_EQ(StoreParameter(date, dialect::ColumnKind::Text, 0), StoredValue("2012-05-06"));
    EXPECT_EQ(StoreParameter(date, std::nullopt, 0), StoredValue("2012-05-06"));

    Parameter serial;
    serial.Kind = dialect::TokenKind::Number;
    serial.Text = "41035";
    EXPECT_EQ(StoreParameter(serial, dialect::ColumnKind::YesNo, 0), StoredValue(std::int64_t{1}));
    // A number is no date: Access's serial dates are not read.
    EXPECT_EQ(testing::FailureOf([&] {
                  StoreParameter(serial, dialect::ColumnKind::DateTime, 0);
              }).Number(),
              testing::EngineFailure(SQLITE_MISMATCH));

    Parameter identity;
    identity.Kind = dialect::TokenKind::Identity;
    EXPECT_EQ(StoreParameter(identity, dialect::ColumnKind::Text, 42),
              StoredValue(std::int64_t{42}));

    Parameter text;
    text.Text = " 12 ";
    EXPECT_EQ(StoreParameter(text, dialect::ColumnKind::Number, 0), StoredValue(std::int64_t{12}));
    EXPECT_EQ(StoreParameter(text, std::nullopt, 0), StoredValue(" 12 "));

    for (const dialect::ColumnKind kind :
         {dialect::ColumnKind::Number, dialect::ColumnKind::YesNo}) {
        const Failure failure = testing::FailureOf([&] { StoreParameter(date, kind, 0); });
        EXPECT_EQ(failure.Number(), testing::EngineFailure(SQLITE_MISMATCH));
    }
}

}  // namespace
}  // namespace almanoria::sqlite
