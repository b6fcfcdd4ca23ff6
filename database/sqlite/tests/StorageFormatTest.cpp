#include "database/sqlite/StorageFormat.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "database/sqlite/tests/EngineTestSupport.hpp"

namespace almanoria::sqlite {
namespace {

TEST(KindOfDeclaredType, ReadsTheFirstWordWithoutRegardToCase) {
    const std::vector<std::pair<std::string, ColumnKind>> cases = {
        {"DATETIME", ColumnKind::DateTime},
        {"date", ColumnKind::DateTime},
        {"Time", ColumnKind::DateTime},
        {"YESNO", ColumnKind::YesNo},
        {"bit", ColumnKind::YesNo},
        {"BOOLEAN", ColumnKind::YesNo},
        {"Logical", ColumnKind::YesNo},
        {"INTEGER", ColumnKind::Number},
        {"int", ColumnKind::Number},
        {"LONG", ColumnKind::Number},
        {"Short", ColumnKind::Number},
        {"BYTE", ColumnKind::Number},
        {"COUNTER", ColumnKind::Number},
        {"AUTOINCREMENT", ColumnKind::Number},
        {"NUMERIC(10,2)", ColumnKind::Number},
        {"DOUBLE PRECISION", ColumnKind::Number},
        {"SINGLE", ColumnKind::Number},
        {"Currency", ColumnKind::Number},
        {"TEXT", ColumnKind::Text},
        {"VARCHAR(50)", ColumnKind::Text},
        {"", ColumnKind::Text},
        {"DATETIMES", ColumnKind::Text},
        {"INTEGERS", ColumnKind::Text},
    };
    for (const auto& [declared, kind] : cases) {
        EXPECT_EQ(KindOfDeclaredType(declared), kind) << declared;
    }
}

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
    date.Kind = TokenKind::Date;
    date.Date = {2012, 5, 6};
    EXPECT_EQ(StoreParameter(date, ColumnKind::Text, 0), StoredValue("2012-05-06"));
    EXPECT_EQ(StoreParameter(date, std::nullopt, 0), StoredValue("2012-05-06"));

    Parameter serial;
    serial.Kind = TokenKind::Number;
    serial.Text = "41035";
    EXPECT_EQ(StoreParameter(serial, ColumnKind::DateTime, 0), StoredValue("2012-05-06"));
    EXPECT_EQ(StoreParameter(serial, ColumnKind::YesNo, 0), StoredValue(std::int64_t{1}));

    Parameter identity;
    identity.Kind = TokenKind::Identity;
    EXPECT_EQ(StoreParameter(identity, ColumnKind::Text, 42), StoredValue(std::int64_t{42}));

    Parameter text;
    text.Text = " 12 ";
    EXPECT_EQ(StoreParameter(text, ColumnKind::Number, 0), StoredValue(std::int64_t{12}));
    EXPECT_EQ(StoreParameter(text, std::nullopt, 0), StoredValue(" 12 "));

    for (const ColumnKind kind : {ColumnKind::Number, ColumnKind::YesNo}) {
        const Failure failure = testing::FailureOf([&] { StoreParameter(date, kind, 0); });
        EXPECT_EQ(failure.Number(), ErrorNumber::ObjectError + SQLITE_MISMATCH);
    }
}

}  // namespace
}  // namespace almanoria::sqlite
