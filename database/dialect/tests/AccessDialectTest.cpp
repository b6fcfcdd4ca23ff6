// The one reader of the Access dialect: its tokens, its dates and its type names.

#include "database/dialect/AccessDialect.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace almanoria::dialect {
namespace {

TEST(ParseAccessDate, ReadsMonthFirstWithOptionalTime) {
    const std::vector<std::pair<std::string, DateTime>> cases = {
        {"5/6/2012", {2012, 5, 6}},
        {"05/06/2012", {2012, 5, 6}},
        {" 5-6-2012 ", {2012, 5, 6}},
        {"2/29/2012", {2012, 2, 29}},
        {"2/29/2000", {2000, 2, 29}},
        {"12/31/2012 23:59:59", {2012, 12, 31, 23, 59, 59}},
        {"1/1/2012 0:00", {2012, 1, 1}},
        {"1/1/2012 12:00 AM", {2012, 1, 1}},
        {"1/1/2012 12:30 PM", {2012, 1, 1, 12, 30, 0}},
        {"1/1/2012 11:59pm", {2012, 1, 1, 23, 59, 0}},
        {"2012-05-06", {2012, 5, 6}},
        {"2012-05-06T14:30:00", {2012, 5, 6, 14, 30, 0}},
        {"2012-05-06 14:30:00.250", {2012, 5, 6, 14, 30, 0}},
        {"2:30 PM", {1899, 12, 30, 14, 30, 0}},
    };
    for (const auto& [text, expected] : cases) {
        const auto date = ParseAccessDate(text);
        ASSERT_TRUE(date.has_value()) << text;
        EXPECT_EQ(*date, expected) << text;
    }
}

TEST(ParseAccessDate, RefusesWhatIsNoDate) {
    for (const char* text :
         {"", "5/6", "5/6/2012x", "2/29/2011", "2/29/1900", "0/1/2012", "1/0/2012", "4/31/2012",
          "5/6/12", "5/6/20120", "123/6/2012", "5/6-2012", "5/6/2012 24:00", "5/6/2012 10:60",
          "5/6/2012 13:00 AM", "5/6/2012 10:5", "5/6/2012T10:00", "5/6/201210:00", "2012-5"}) {
        EXPECT_FALSE(ParseAccessDate(text).has_value()) << text;
    }
}

TEST(ParseProgramDate, OnlyRealMonthFirstDatesWithoutATime) {
    EXPECT_EQ(ParseProgramDate("5/6/2012"), (DateTime{2012, 5, 6}));
    EXPECT_EQ(ParseProgramDate("12/31/2012"), (DateTime{2012, 12, 31}));
    EXPECT_EQ(ParseProgramDate("02/29/2012"), (DateTime{2012, 2, 29}));
    for (const char* text : {"2/29/2011", "13/1/2012", "1/32/2012", "2012-05-06", "5/6/12",
                             "5/6/2012 0:00", " 5/6/2012", "5-6-2012", "", "White"}) {
        EXPECT_FALSE(ParseProgramDate(text).has_value()) << text;
    }
}

TEST(ParseTimeAlone, TimesWithAndWithoutMarkersButNoDates) {
    EXPECT_EQ(ParseTimeAlone("0:00 AM"), (DateTime{1899, 12, 30, 0, 0, 0}));
    EXPECT_EQ(ParseTimeAlone("12:30 PM"), (DateTime{1899, 12, 30, 12, 30, 0}));
    EXPECT_EQ(ParseTimeAlone("23:05:09"), (DateTime{1899, 12, 30, 23, 5, 9}));
    for (const char* text : {"5/6/2012", "5/6/2012 0:00", "24:00", "0:00 XM", "", "0", ":00"}) {
        EXPECT_FALSE(ParseTimeAlone(text).has_value()) << text;
    }
}

TEST(ReadColumnKind, ByTheFirstWordWithoutRegardToCase) {
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
        EXPECT_EQ(ReadColumnKind(declared), kind) << declared;
    }
}

TEST(TokenizeAccessSql, QuotesBracketsLiteralsAndWhereEachTokenStands) {
    const std::string statement =
        "SELECT [Event Name], `x|y` FROM Events WHERE a='it''s' AND b=\"say \"\"hi\"\"\" "
        "AND c=#5/6/2012# AND d={d '2012-05-06'} AND e<>-1.5e3";
    const std::vector<Token> tokens = TokenizeAccessSql(statement);
    const auto find = [&](TokenKind kind, const std::string& text) -> const Token* {
        for (const Token& token : tokens)
            if (token.Kind == kind && token.Text == text) return &token;
        return nullptr;
    };
    const Token* bracketed = find(TokenKind::Word, "Event Name");
    ASSERT_NE(bracketed, nullptr);
    EXPECT_TRUE(bracketed->IsBracketed);
    EXPECT_EQ(bracketed->Quote, '[');
    ASSERT_NE(find(TokenKind::Word, "x|y"), nullptr);
    EXPECT_EQ(find(TokenKind::Word, "x|y")->Quote, '`');
    const Token* single = find(TokenKind::Text, "it's");
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(single->Quote, '\'');
    EXPECT_EQ(statement.substr(single->Begin, single->End - single->Begin), "'it''s'");
    ASSERT_NE(find(TokenKind::Text, "say \"hi\""), nullptr);
    EXPECT_EQ(find(TokenKind::Text, "say \"hi\"")->Quote, '"');
    ASSERT_NE(find(TokenKind::Text, "2012-05-06"), nullptr);
    EXPECT_NE(find(TokenKind::Symbol, "{"), nullptr);
    EXPECT_NE(find(TokenKind::Symbol, "<>"), nullptr);
    EXPECT_NE(find(TokenKind::Number, "1.5e3"), nullptr);
    const auto date = std::find_if(tokens.begin(), tokens.end(),
                                   [](const Token& t) { return t.Kind == TokenKind::Date; });
    ASSERT_NE(date, tokens.end());
    EXPECT_EQ(date->Date, (DateTime{2012, 5, 6}));
}

TEST(TokenizeAccessSql, RefusesWhatNoReaderCouldFollow) {
    for (const char* statement : {"SELECT 'open", "SELECT \"open", "SELECT [open", "SELECT `open",
                                  "SELECT #5/6/2012", "SELECT #2/30/2012#", "SELECT 5abc",
                                  "SELECT ?", "SELECT :name", "SELECT @name", "SELECT $name"}) {
        EXPECT_THROW(TokenizeAccessSql(statement), SyntaxError) << statement;
    }
}

}  // namespace
}  // namespace almanoria::dialect
