#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/sqlite/tests/EngineTestSupport.hpp"
#include "testing/support/CalendarFiles.hpp"

namespace almanoria::testing {
namespace {

using Rows = std::vector<std::vector<std::string>>;

Value Whole(std::int64_t number) {
    return Value::Number(number);
}

class SqliteStatements : public ::testing::Test {
  protected:
    Rows Plain(const std::string& sql) const { return QueryRows(mPath, sql); }

    TempDir mDir;
    std::filesystem::path mPath = MakeCalendar(mDir);
    std::unique_ptr<Engine> mEngine = OpenCalendar(mPath);
};

TEST_F(SqliteStatements, InsertsADayAndFindsItByItsDateLiteral) {
    mEngine->Execute(InsertDay("5/6/2012", "White", "0", "St. John''s Day"));

    EXPECT_EQ(Plain("SELECT DateKey, DateColor, EventCount, typeof(EventCount), DateNotes, "
                    "DateText FROM Dates"),
              (Rows{{"2012-05-06", "White", "0", "integer", "", "St. John's Day"}}));
    const ResultRows found = mEngine->Query(SelectDay("5/6/2012"));
    EXPECT_EQ(found.ColumnNames, (std::vector<std::string>{"DateKey", "DateColor", "EventCount",
                                                           "DateNotes", "DateText"}));
    ASSERT_EQ(found.Rows.size(), 1u);
    EXPECT_EQ(found.Rows[0],
              (std::vector<Value>{Value::Date({2012, 5, 6}), Value::Text("White"), Whole(0),
                                  Value::Text(""), Value::Text("St. John's Day")}));
    EXPECT_TRUE(mEngine->Query(SelectDay("12/31/2012")).Rows.empty());
}

TEST_F(SqliteStatements, UpdatesColourAndNotesOfThatDayOnly) {
    mEngine->Execute(InsertDay("12/30/2012", "White", "0", ""));
    mEngine->Execute(InsertDay("12/31/2012", "White", "0", ""));
    mEngine->Execute(UpdateDay("Green", "New Year''s Eve", "12/31/2012"));

    EXPECT_EQ(Plain("SELECT DateKey, DateColor, DateText FROM Dates ORDER BY DateKey"),
              (Rows{{"2012-12-30", "White", ""}, {"2012-12-31", "Green", "New Year's Eve"}}));
}

TEST_F(SqliteStatements, WritesAndRaisesTheEventCount) {
    mEngine->Execute(InsertDay("12/31/2012", "", "1", ""));
    mEngine->Execute(UpdateCount("2", "12/31/2012"));

    EXPECT_EQ(Plain("SELECT EventCount, typeof(EventCount) FROM Dates"), (Rows{{"2", "integer"}}));
}

TEST_F(SqliteStatements, ImportsAnEventWithItsDateLinkAndIdentity) {
    EXPECT_EQ(mEngine->Query(kSelectIdentity).Rows, (std::vector<std::vector<Value>>{{Whole(0)}}));

    mEngine->Execute(InsertAllDayEvent("Ash Wednesday"));
    const ResultRows identity = mEngine->Query(kSelectIdentity);
    EXPECT_EQ(identity.ColumnNames, std::vector<std::string>{"Expr1000"});
    EXPECT_EQ(identity.Rows, (std::vector<std::vector<Value>>{{Whole(1)}}));

    // A link has a rowid of its own, which must not become the identity.
    mEngine->Execute(InsertLink("1", "2/22/2012"));
    mEngine->Execute(InsertLink("1", "2/23/2012"));
    EXPECT_EQ(mEngine->Query(kSelectIdentity).Rows[0][0], Whole(1));
    mEngine->Execute(InsertAllDayEvent("Easter"));
    EXPECT_EQ(mEngine->Query(kSelectIdentity).Rows[0][0], Whole(2));

    EXPECT_EQ(Plain("SELECT EventId, typeof(EventId), EventDate FROM EventDates"),
              (Rows{{"1", "integer", "2012-02-22"}, {"1", "integer", "2012-02-23"}}));
    EXPECT_EQ(Plain("SELECT AllDayEvent, typeof(AllDayEvent), Recurring FROM Events"),
              (Rows{{"1", "integer", "0"}, {"1", "integer", "0"}}));

    const ResultRows links = mEngine->Query(SelectLinks("2/22/2012"));
    EXPECT_EQ(links.ColumnNames, (std::vector<std::string>{"EventId", "EventDate"}));
    EXPECT_EQ(links.Rows,
              (std::vector<std::vector<Value>>{{Whole(1), Value::Date({2012, 2, 22})}}));

    const ResultRows event = mEngine->Query(SelectEvent("1"));
    ASSERT_EQ(event.Rows.size(), 1u);
    EXPECT_EQ(event.ColumnNames[0], "EventID");
    EXPECT_EQ(event.Rows[0],
              (std::vector<Value>{Whole(1), Value::Text("Ash Wednesday"), Value::YesNo(true),
                                  Value::Text("0:00 AM"), Value::Text("11:59 PM"), Value::Text(""),
                                  Value::Text(""), Value::Text(""), Value::YesNo(false)}));
}

TEST_F(SqliteStatements, AcceptsDateLiteralsWithLeadingZerosAndTimes) {
    mEngine->Execute(InsertDay("5/6/2012", "White", "0", "day"));
    mEngine->Execute(InsertDay("5/6/2012 2:30 PM", "Red", "0", "afternoon"));
    EXPECT_EQ(Plain("SELECT DateKey FROM Dates WHERE DateText = 'afternoon'"),
              (Rows{{"2012-05-06 14:30:00"}}));

    for (const char* midnight :
         {"05/06/2012", "5/6/2012 0:00:00", "2012-05-06", "5/6/2012 12:00 AM"}) {
        const ResultRows found = mEngine->Query(SelectDay(midnight));
        ASSERT_EQ(found.Rows.size(), 1u) << midnight;
        EXPECT_EQ(found.Rows[0][4], Value::Text("day")) << midnight;
    }
    for (const char* afternoon :
         {"5/6/2012 14:30:00", "05/06/2012 2:30:00 PM", "5/6/2012 2:30 pm"}) {
        const ResultRows found = mEngine->Query(SelectDay(afternoon));
        ASSERT_EQ(found.Rows.size(), 1u) << afternoon;
        EXPECT_EQ(found.Rows[0][0], Value::Date({2012, 5, 6, 14, 30, 0})) << afternoon;
    }
}

TEST_F(SqliteStatements, RejectsInvalidDateLiterals) {
    for (const char* bad : {"2/30/2012", "2/29/2011", "13/1/2012", "5/6/12", "5/6/2012 25:00",
                            "5/6/2012 13:00 PM", "5/6/2012 10:61"}) {
        const Failure failure = FailureOf([&] { mEngine->Query(SelectDay(bad)); });
        EXPECT_EQ(ResultCodeOf(failure), SQLITE_ERROR) << bad;
        EXPECT_NE(failure.Description().find(std::string("#") + bad + "#"), std::string::npos)
            << failure.Description();
    }
    const Failure open =
        FailureOf([&] { mEngine->Query("SELECT * FROM Dates WHERE DateKey=#5/6"); });
    EXPECT_EQ(ResultCodeOf(open), SQLITE_ERROR);
}

TEST_F(SqliteStatements, StoresYesNoTextAsOneOrZero) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"1", "1"}, {"-1", "1"},    {"7", "1"},  {"True", "1"}, {"yes", "1"},  {"ON", "1"},
        {"0", "0"}, {"False", "0"}, {"no", "0"}, {"Off", "0"},  {" 0.0 ", "0"}};
    for (const auto& [text, stored] : cases) {
        mEngine->Execute(InsertEvent({"Day", text, "", "", "", "", "", text}));
        const std::string id = AppendEmpty(mEngine->Query(kSelectIdentity).Rows[0][0]);
        EXPECT_EQ(Plain("SELECT AllDayEvent, Recurring FROM Events WHERE EventID = " + id),
                  (Rows{{stored, stored}}))
            << text;
    }
}

TEST_F(SqliteStatements, ReadsYesNoAndNullAsTheirKinds) {
    ExecSql(mPath,
            "INSERT INTO Events (EventID, EventName, AllDayEvent, Recurring) VALUES (50, 'x', -1, "
            "NULL); INSERT INTO Events (EventID, AllDayEvent, Recurring) VALUES (51, 0, 2.5);"
            "INSERT INTO Dates (DateKey) VALUES ('2012-05-06');");

    const ResultRows first = mEngine->Query(SelectEvent("50"));
    ASSERT_EQ(first.Rows.size(), 1u);
    EXPECT_EQ(first.Rows[0][2], Value::YesNo(true));
    EXPECT_TRUE(first.Rows[0][3].IsNull());
    EXPECT_TRUE(first.Rows[0][8].IsNull());
    const ResultRows second = mEngine->Query(SelectEvent("51"));
    EXPECT_EQ(second.Rows[0][2], Value::YesNo(false));
    EXPECT_EQ(second.Rows[0][8], Value::YesNo(true));

    const ResultRows day = mEngine->Query(SelectDay("5/6/2012"));
    ASSERT_EQ(day.Rows.size(), 1u);
    for (std::size_t column = 1; column < 5; ++column)
        EXPECT_TRUE(day.Rows[0][column].IsNull());
}

TEST_F(SqliteStatements, ValueThatDoesNotConvertIsAMismatchAndWritesNothing) {
    const std::vector<std::string> statements = {
        InsertEvent({"Day", "maybe", "", "", "", "", "", "0"}),
        InsertEvent({"Day", "", "", "", "", "", "", "0"}),
        InsertDay("5/6/2012", "White", "many", ""),
        InsertDay("2/30/2012", "White", "0", ""),
        InsertDay("", "White", "0", ""),
        InsertLink("abc", "1/1/2012"),
        "UPDATE Dates SET EventCount = 'x' WHERE (((Dates.DateKey)=#5/6/2012#));",
        "SELECT * FROM Events WHERE (((Events.EventID)='one'));",
    };
    for (const std::string& statement : statements) {
        const Failure failure = FailureOf([&] { mEngine->Query(statement); });
        EXPECT_EQ(failure.Number(), EngineFailure(SQLITE_MISMATCH)) << statement;
        EXPECT_EQ(failure.Description(), "Data type mismatch in criteria expression.");
    }
    EXPECT_EQ(QueryValue(mPath,
                         "SELECT (SELECT count(*) FROM Dates) + (SELECT count(*) FROM "
                         "Events) + (SELECT count(*) FROM EventDates)"),
              "0");
}

TEST_F(SqliteStatements, MatchesTableAndColumnNamesWithoutRegardToCase) {
    mEngine->Execute(
        "insert into dates (datekey, DATECOLOR, eventcount, datenotes, datetext) values "
        "('5/6/2012','White','3','','');");
    EXPECT_EQ(Plain("SELECT DateKey, EventCount FROM Dates"), (Rows{{"2012-05-06", "3"}}));

    const ResultRows found =
        mEngine->Query("select * from DATES where (((dates.DATEKEY)=#5/6/2012#));");
    ASSERT_EQ(found.Rows.size(), 1u);
    EXPECT_EQ(found.ColumnNames[0], "DateKey");

    mEngine->Execute(InsertLink("4", "5/6/2012"));
    const ResultRows named = mEngine->Query(
        "SELECT eventid, EVENTDATE AS d FROM eventdates "
        "WHERE EVENTDATES.eventdate = '5/6/2012';");
    EXPECT_EQ(named.ColumnNames, (std::vector<std::string>{"EventId", "d"}));
    EXPECT_EQ(named.Rows, (std::vector<std::vector<Value>>{{Whole(4), Value::Date({2012, 5, 6})}}));
}

TEST_F(SqliteStatements, UndoubledApostropheFailsAndWritesNothing) {
    const Failure failure =
        FailureOf([&] { mEngine->Execute(InsertAllDayEvent("St. John's Day")); });
    EXPECT_EQ(ResultCodeOf(failure), SQLITE_ERROR);
    EXPECT_FALSE(failure.Description().empty());
    EXPECT_EQ(QueryValue(mPath, "SELECT count(*) FROM Events"), "0");

    const Failure unterminated =
        FailureOf([&] { mEngine->Query("SELECT * FROM Dates WHERE DateColor = 'Green"); });
    EXPECT_EQ(unterminated.Description(), "unrecognized token: \"'Green\"");
}

TEST_F(SqliteStatements, ReportsSqlitesOwnErrorsWithTheirNumbers) {
    const Failure missing = FailureOf([&] { mEngine->Query("SELECT * FROM Nope;"); });
    EXPECT_EQ(missing.Number(), EngineFailure(SQLITE_ERROR));
    EXPECT_EQ(missing.Description(), "no such table: Nope");

    mEngine->Execute(InsertDay("5/6/2012", "White", "0", ""));
    const Failure second =
        FailureOf([&] { mEngine->Execute("SELECT * FROM Dates; DELETE FROM Dates;"); });
    EXPECT_EQ(second.Description(), "Characters found after end of SQL statement.");
    EXPECT_EQ(FailureOf([&] { mEngine->Execute(" ; "); }).Number(), EngineFailure(SQLITE_ERROR));
    EXPECT_EQ(QueryValue(mPath, "SELECT count(*) FROM Dates"), "1");
}

TEST_F(SqliteStatements, RunsAYearOfDaysThroughTheSameShapes) {
    for (int day = 1; day <= 31; ++day) {
        const std::string date = "1/" + std::to_string(day) + "/2012";
        ASSERT_TRUE(mEngine->Query(SelectDay(date)).Rows.empty());
        mEngine->Execute(InsertDay(date, "White", "0", ""));
        mEngine->Execute(UpdateDay(day % 2 ? "Green" : "Purple", "n" + std::to_string(day), date));
        ASSERT_EQ(mEngine->Query(SelectDay(date)).Rows.size(), 1u);
    }
    EXPECT_EQ(Plain("SELECT count(*), sum(DateColor = 'Green'), max(DateKey) FROM Dates"),
              (Rows{{"31", "16", "2012-01-31"}}));
    // Between statements the engine holds no lock: another program writes at once.
    PlainConnection other(mPath);
    other.Exec("BEGIN IMMEDIATE; DELETE FROM Dates; COMMIT;");
    EXPECT_TRUE(mEngine->Query(SelectDay("1/1/2012")).Rows.empty());
}

}  // namespace
}  // namespace almanoria::testing
