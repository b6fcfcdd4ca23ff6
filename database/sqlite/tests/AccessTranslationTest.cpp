#include "database/sqlite/AccessTranslation.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "database/sqlite/tests/EngineTestSupport.hpp"

namespace almanoria::sqlite {
namespace {

using testing::FailureOf;

TEST(TranslateAccessSql, TurnsTheProgramsLiteralsIntoParametersWithTheirColumns) {
    const auto select =
        TranslateAccessSql("SELECT * FROM Dates WHERE (((Dates.DateKey)=#5/6/2012#));");
    EXPECT_EQ(select.Sql, "SELECT * FROM Dates WHERE (((Dates.DateKey)=?1));");
    EXPECT_EQ(select.Verb, dialect::StatementVerb::Select);
    EXPECT_EQ(select.Table, "Dates");
    ASSERT_EQ(select.Parameters.size(), 1u);
    EXPECT_EQ(select.Parameters[0].Kind, dialect::TokenKind::Date);
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
    EXPECT_EQ(insert.Table, "Dates");
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
    EXPECT_EQ(count.Parameters[0].Kind, dialect::TokenKind::Number);
    EXPECT_EQ(count.Parameters[0].Target->Column, "EventCount");

    const auto identity = TranslateAccessSql("select @@identity");
    EXPECT_EQ(identity.Sql, "select ?1");
    EXPECT_EQ(identity.Parameters[0].Kind, dialect::TokenKind::Identity);
}

TEST(TranslateAccessSql, LeavesNumbersThatAreNoValuesInPlace) {
    const auto query = TranslateAccessSql(
        "SELECT substr(DateText, 1, 2) FROM Dates WHERE EventCount > 2 AND EventCount = -1;");
    EXPECT_EQ(
        query.Sql,
        "SELECT substr(DateText, 1, 2) FROM Dates WHERE EventCount > ?1 AND EventCount = ?2;");
    ASSERT_EQ(query.Parameters.size(), 2u);
    EXPECT_EQ(query.Parameters[1].Text, "-1");
    EXPECT_EQ(TranslateAccessSql("UPDATE Dates SET EventCount = EventCount + 1").Sql,
              "UPDATE Dates SET EventCount = EventCount + 1");
}

TEST(TranslateAccessSql, FindsTheColumnOnEitherSide) {
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
        EXPECT_EQ(failure.Number(), testing::EngineFailure(SQLITE_ERROR)) << statement;
    }
    EXPECT_NO_THROW(TranslateAccessSql("SELECT 1;;"));
    // What the dialect does not read is refused with a word of what it was.
    const Failure joined = FailureOf(
        [] { TranslateAccessSql("SELECT * FROM Events INNER JOIN EventDates ON 1 = 1"); });
    EXPECT_EQ(joined.Number(), testing::EngineFailure(SQLITE_ERROR));
    EXPECT_EQ(joined.Description(), "Syntax error: JOIN is not supported.");
}

}  // namespace
}  // namespace almanoria::sqlite
