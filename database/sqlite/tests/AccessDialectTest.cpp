#include "database/sqlite/AccessDialect.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "database/sqlite/tests/EngineTestSupport.hpp"

namespace almanoria::sqlite {
namespace {

using testing::FailureOf;

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

TEST(ParseAccessDate, ReadsDayFirstWhereTheSettingsSaySoAndFallsBackToMonthFirst) {
    const auto dayFirst = [](std::string_view text) {
        return ParseAccessDate(text, DateOrder::DayFirst);
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
    EXPECT_EQ(ParseAccessDate("5/6/2012"), (DateTime{2012, 5, 6}));
    EXPECT_FALSE(ParseAccessDate("31/12/2012").has_value());
}

TEST(TranslateAccessSql, TurnsTheProgramsLiteralsIntoParametersWithTheirColumns) {
    const auto select =
        TranslateAccessSql("SELECT * FROM Dates WHERE (((Dates.DateKey)=#5/6/2012#));");
    EXPECT_EQ(select.Sql, "SELECT * FROM Dates WHERE (((Dates.DateKey)=?1));");
    EXPECT_EQ(select.Verb, StatementVerb::Select);
    EXPECT_EQ(select.Tables, std::vector<std::string>{"Dates"});
    ASSERT_EQ(select.Parameters.size(), 1u);
    EXPECT_EQ(select.Parameters[0].Kind, TokenKind::Date);
    EXPECT_EQ(select.Parameters[0].Date, (DateTime{2012, 5, 6}));
    ASSERT_TRUE(select.Parameters[0].Target);
    EXPECT_EQ(select.Parameters[0].Target->Table, "Dates");
    EXPECT_EQ(select.Parameters[0].Target->Column, "DateKey");
    // The shape is the same for every day, so SQLite prepares it once.
    EXPECT_EQ(TranslateAccessSql(testing::SelectDay("12/31/2012")).Sql, select.Sql);

    const auto insert = TranslateAccessSql(testing::InsertDay("5/6/2012", "White", "0", "it''s"));
    EXPECT_EQ(insert.Sql,
              "INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) "
              "VALUES (?1,?2,?3,?4,?5);");
    EXPECT_EQ(insert.TargetTable, "Dates");
    const std::vector<std::string> columns = {"DateKey", "DateColor", "EventCount", "DateNotes",
                                              "DateText"};
    ASSERT_EQ(insert.Parameters.size(), columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        ASSERT_TRUE(insert.Parameters[i].Target);
        EXPECT_EQ(insert.Parameters[i].Target->Column, columns[i]);
    }
    EXPECT_EQ(insert.Parameters[4].Text, "it's");

    const auto count = TranslateAccessSql(testing::UpdateCount("3", "5/6/2012"));
    EXPECT_EQ(count.Sql, "UPDATE Dates SET EventCount = ?1 WHERE (((Dates.DateKey)=?2));");
    EXPECT_EQ(count.Parameters[0].Kind, TokenKind::Number);
    EXPECT_EQ(count.Parameters[0].Target->Column, "EventCount");

    const auto identity = TranslateAccessSql("select @@identity");
    EXPECT_EQ(identity.Sql, "select ?1");
    EXPECT_EQ(identity.Parameters[0].Kind, TokenKind::Identity);
}

TEST(TranslateAccessSql, LeavesNumbersThatAreNoValuesInPlace) {
    const auto query = TranslateAccessSql(
        "SELECT * FROM Dates WHERE EventCount > 2 AND EventCount = -1 ORDER BY 2 LIMIT 10;");
    EXPECT_EQ(query.Sql,
              "SELECT * FROM Dates WHERE EventCount > ?1 AND EventCount = ?2 ORDER BY 2 LIMIT 10;");
    ASSERT_EQ(query.Parameters.size(), 2u);
    EXPECT_EQ(query.Parameters[1].Text, "-1");
    EXPECT_EQ(TranslateAccessSql("UPDATE Dates SET EventCount = EventCount + 1").Sql,
              "UPDATE Dates SET EventCount = EventCount + 1");
}

TEST(TranslateAccessSql, FindsColumnsThroughAliasesPositionsAndEitherSide) {
    const auto joined = TranslateAccessSql(
        "SELECT * FROM Events AS e INNER JOIN EventDates d ON e.EventID = d.EventId "
        "WHERE d.EventDate = '5/6/2012'");
    EXPECT_EQ(joined.Tables, (std::vector<std::string>{"Events", "EventDates"}));
    EXPECT_EQ(joined.Parameters[0].Target->Table, "EventDates");
    EXPECT_EQ(joined.Parameters[0].Target->Column, "EventDate");

    const auto positional = TranslateAccessSql("INSERT INTO EventDates VALUES ('4', -2, (5))");
    EXPECT_EQ(positional.Sql, "INSERT INTO EventDates VALUES (?1, ?2, (5))");
    EXPECT_EQ(positional.Parameters[0].Target->Position, 0);
    EXPECT_EQ(positional.Parameters[1].Target->Position, 1);
    EXPECT_EQ(positional.Parameters[1].Text, "-2");

    const auto left = TranslateAccessSql("SELECT * FROM Dates WHERE #5/6/2012# = (DateKey)");
    EXPECT_EQ(left.Parameters[0].Target->Column, "DateKey");
}

TEST(TranslateAccessSql, SpeaksTheAccessDialect) {
    const auto joined = TranslateAccessSql("SELECT DateColor & \"-\" & DateText AS t, 'a'AS x");
    EXPECT_EQ(joined.Sql, "SELECT DateColor || ?1 || DateText AS t, ?2 AS x");
    EXPECT_EQ(joined.Parameters[0].Text, "-");

    // SQLite takes no parameters in a table's definition.
    const auto create = TranslateAccessSql(
        "CREATE TABLE Notes (Day DATETIME DEFAULT #1/1/2012#, Body TEXT DEFAULT \"it's\")");
    EXPECT_EQ(create.Sql,
              "CREATE TABLE Notes (Day DATETIME DEFAULT '2012-01-01', Body TEXT DEFAULT 'it''s')");
    EXPECT_TRUE(create.Parameters.empty());
}

TEST(TranslateAccessSql, RefusesWhatSqliteWouldMisread) {
    for (const char* statement :
         {"SELECT * FROM Dates WHERE DateKey = ?", "SELECT :day", "SELECT @day", "SELECT 5abc",
          "SELECT [DateKey FROM Dates", "SELECT 'it", "SELECT 1; DELETE FROM Dates",
          "SELECT * FROM Dates WHERE DateKey = #2/30/2012#"}) {
        const Failure failure = FailureOf([&] { TranslateAccessSql(statement); });
        EXPECT_EQ(failure.Number(), ErrorNumber::ObjectError + SQLITE_ERROR) << statement;
    }
    EXPECT_NO_THROW(TranslateAccessSql("SELECT 1;;"));
}

}  // namespace
}  // namespace almanoria::sqlite
