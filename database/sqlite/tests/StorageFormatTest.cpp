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

TEST(DateFromSerial, CountsFromTheLastDaysOf1899) {
    EXPECT_EQ(DateFromSerial(0), (DateTime{1899, 12, 30}));
    EXPECT_EQ(DateFromSerial(41035), (DateTime{2012, 5, 6}));
    EXPECT_EQ(DateFromSerial(41035.75), (DateTime{2012, 5, 6, 18, 0, 0}));
    EXPECT_EQ(DateFromSerial(-1.5), (DateTime{1899, 12, 29, 12, 0, 0}));
    EXPECT_EQ(DateFromSerial(60), (DateTime{1900, 2, 28}));
    EXPECT_FALSE(DateFromSerial(1e9).has_value());
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
    EXPECT_EQ(StoreParameter(serial, dialect::ColumnKind::DateTime, 0), StoredValue("2012-05-06"));
    EXPECT_EQ(StoreParameter(serial, dialect::ColumnKind::YesNo, 0), StoredValue(std::int64_t{1}));

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
