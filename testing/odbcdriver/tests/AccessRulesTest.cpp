// What the stand-in refuses and cuts as the Access driver does, checked against the rules
// themselves and the file as plain SQLite reads it, not against the embedded engine's answers.

#include "testing/odbcdriver/AccessRules.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "database/odbc/OdbcEngine.hpp"
#include "database/sqlite/tests/EngineTestSupport.hpp"
#include "testing/odbcdriver/DriverError.hpp"
#include "testing/odbcdriver/tests/RawOdbc.hpp"
#include "testing/support/CalendarFiles.hpp"

namespace almanoria::odbcdriver {
namespace {

using namespace almanoria::testing;

// The SQLSTATE the rules refuse a statement with; "none" when they take it.
std::string StateOfRules(const std::string& statement) {
    try {
        CheckAccessRules(statement, dialect::TokenizeAccessSql(statement));
    } catch (const DriverError& error) {
        return error.Record.State;
    }
    return "none";
}

TEST(CheckAccessRules, TheProgramsTenStatementsPassAsItWritesThemAndAsTheOdbcEngineSendsThem) {
    const std::string notes(4000, 'n');
    const std::vector<std::string> statements = {
        SelectDay("12/31/2012"),
        UpdateDay("White", "Mary''s day, \"the Mother of God\" " + notes, "1/1/2012"),
        InsertDay("1/1/2012", "White", "0", "St. John''s Eve"),
        InsertDay("2/22/2012", "", "1", ""),
        UpdateCount("2", "2/22/2012"),
        InsertAllDayEvent("Lincoln''s Birthday"),
        kSelectIdentity,
        InsertLink("17", "2/22/2012"),
        SelectLinks("2/22/2012"),
        SelectEvent("17"),
        // With the ODBC engine's escapes for Date/Time columns.
        "INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) VALUES "
        "({d '2012-01-01'},'White','0','','');",
        "INSERT INTO Events (EventName, AllDayEvent, StartTime, EndTime, EventColor, EventIcon, "
        "Notes, Recurring) VALUES ('Earth Day','1',{t '00:00:00'},{t '23:59:00'},'','','','0');",
    };
    for (const std::string& statement : statements) {
        EXPECT_EQ(StateOfRules(statement), "none") << statement;
    }
}

TEST(CheckAccessRules, RefusesWhatTheAccessDriverRefusesWithSyntaxError) {
    for (const std::string statement : {
             "INSERT INTO Dates (DateColor) VALUES (\"White\");",
             "UPDATE Dates SET DateText = 'Advent | Christmas';",
             "SELECT [a|b] FROM Dates;",
             "SELECT `a|b` FROM Dates;",
             "SELECT * FROM Dates LIMIT 1;",
             "SELECT * FROM Dates WHERE DateColor != 'White';",
             "SELECT * FROM Dates WHERE EventCount == 1;",
             "SELECT DateColor || DateText FROM Dates;",
             "CREATE TABLE IF NOT EXISTS Notes (A TEXT);",
             "DROP TABLE IF EXISTS Notes;",
             "INSERT OR REPLACE INTO Dates (DateColor) VALUES ('White');",
             "REPLACE INTO Dates (DateColor) VALUES ('White');",
             "INSERT INTO Dates (DateColor) VALUES ('x') ON CONFLICT DO NOTHING;",
             "PRAGMA table_info(Dates);",
             "WITH d AS (SELECT 1) SELECT * FROM d;",
             "SELECT CAST(EventCount AS TEXT) FROM Dates;",
         }) {
        EXPECT_EQ(StateOfRules(statement), "42000") << statement;
    }
    // A "|" outside any string is no string's; a bracketed LIMIT is a name.
    EXPECT_EQ(StateOfRules("SELECT [Limit], 'a' & 'b' FROM Dates;"), "none");
}

TEST(CodePoints, CountAndCutWholeCharactersOnly) {
    const std::string text = "F\xC3\xAAte \xF0\x9F\x98\x80!";  // "Fête 😀!"
    EXPECT_EQ(CodePointCount(text), 7u);
    EXPECT_EQ(FirstCodePoints(text, 2), "F\xC3\xAA");
    EXPECT_EQ(FirstCodePoints(text, 6), "F\xC3\xAAte \xF0\x9F\x98\x80");
    EXPECT_EQ(FirstCodePoints(text, 0), "");
    EXPECT_EQ(FirstCodePoints(text, 99), text);
}

TEST(CheckAccessRules, AStatementMayHoldSixtyFiveThousandCharactersAndNoMore) {
    const std::string head = "UPDATE Dates SET DateText = '";
    const std::string tail = "';";
    const std::size_t room = kMaxStatementCharacters - head.size() - tail.size();
    EXPECT_EQ(StateOfRules(head + std::string(room, 'x') + tail), "none");
    EXPECT_EQ(StateOfRules(head + std::string(room + 1, 'x') + tail), "42000");
    // Characters, not bytes: two-byte characters count once.
    std::string accented;
    for (std::size_t i = 0; i < room; ++i)
        accented += "\xC3\xA9";
    EXPECT_EQ(StateOfRules(head + accented + tail), "none");
}

class AccessDriverRules : public ::testing::Test {
  protected:
    SQLRETURN Run(const std::string& sql) { return mRaw.Execute(*mStatement, sql); }
    SQLLEN RowCount() {
        SQLLEN count = -2;
        EXPECT_EQ(SQLRowCount(mStatement->Handle, &count), SQL_SUCCESS);
        return count;
    }

    TempDir mDir;
    std::string mPath = MakeCalendar(mDir).string();
    RawConnection mRaw{mPath};
    std::unique_ptr<RawHandle> mStatement = mRaw.Statement();
};

TEST_F(AccessDriverRules, AnUpdateOrDeleteThatChangesNoRowAnswersNoDataAndCountsRowsTruly) {
    EXPECT_EQ(Run(UpdateDay("Red", "", "5/6/2012")), SQL_NO_DATA);
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(Run(InsertDay("5/6/2012", "White", "0", "")), SQL_SUCCESS);
    EXPECT_EQ(RowCount(), 1);
    EXPECT_EQ(Run(InsertDay("5/6/2012", "Green", "0", "")), SQL_SUCCESS);
    EXPECT_EQ(Run(UpdateDay("Red", "", "5/6/2012")), SQL_SUCCESS);
    EXPECT_EQ(RowCount(), 2);
    EXPECT_EQ(Run("DELETE FROM Dates WHERE (((Dates.DateKey)=#5/7/2012#));"), SQL_NO_DATA);
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(Run("DELETE FROM Dates WHERE (((Dates.DateKey)=#5/6/2012#));"), SQL_SUCCESS);
    EXPECT_EQ(RowCount(), 2);
    EXPECT_EQ(QueryValue(mPath, "SELECT COUNT(*) FROM Dates"), "0");
    // The ODBC engine takes SQL_NO_DATA as a statement that has taken effect.
    EXPECT_NO_THROW(
        OpenOdbcEngine(BuildConnectionString(mPath))->Execute(UpdateCount("3", "5/6/2012")));
}

TEST_F(AccessDriverRules, RefusedStatementsLeaveTheFileAsItWas) {
    EXPECT_EQ(Run("INSERT INTO Dates (DateKey, DateColor) VALUES ('1/1/2012', \"White\");"),
              SQL_ERROR);
    EXPECT_EQ(FirstDiagnostic(SQL_HANDLE_STMT, mStatement->Handle).State, "42000");
    EXPECT_EQ(Run(InsertDay("1/1/2012", "White", "0", "Advent | Christmas")), SQL_ERROR);
    EXPECT_EQ(FirstDiagnostic(SQL_HANDLE_STMT, mStatement->Handle).State, "42000");
    EXPECT_EQ(Run("DROP TABLE IF EXISTS Dates;"), SQL_ERROR);
    EXPECT_EQ(Run("SELECT * FROM Dates LIMIT 1;"), SQL_ERROR);
    EXPECT_EQ(FirstDiagnostic(SQL_HANDLE_STMT, mStatement->Handle).State, "42000");
    EXPECT_EQ(QueryValue(mPath, "SELECT COUNT(*) FROM Dates"), "0");
}

TEST_F(AccessDriverRules, TextIsCutOnTheRightToItsColumnsSizeAndMemosKeepAll) {
    ExecSql(mPath, "CREATE TABLE Notes (Short TEXT(5), Plain TEXT, Memo LONGTEXT, Other MEMO)");
    const std::string long300(300, 'x');
    ASSERT_EQ(Run("INSERT INTO Notes (Short, Plain, Memo, Other) VALUES ('abcdefgh','" + long300 +
                  "','" + long300 + "','0123');"),
              SQL_SUCCESS);
    EXPECT_EQ(QueryValue(mPath, "SELECT Short FROM Notes"), "abcde");
    EXPECT_EQ(QueryValue(mPath, "SELECT length(Plain) FROM Notes"), "255");
    EXPECT_EQ(QueryValue(mPath, "SELECT length(Memo) FROM Notes"), "300");
    // Whole characters: five of them, each of two bytes. An update is cut alike.
    ASSERT_EQ(Run("UPDATE Notes SET Short = '\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9';"),
              SQL_SUCCESS);
    EXPECT_EQ(QueryValue(mPath, "SELECT Short FROM Notes"),
              "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
    // What SQLite makes of a column declared MEMO: numeric affinity, numeric-looking text
    // stored as a number. The calendar declares its memos LONGTEXT for this reason.
    EXPECT_EQ(QueryValue(mPath, "SELECT typeof(Other) FROM Notes"), "integer");
    EXPECT_EQ(QueryValue(mPath, "SELECT typeof(Memo) FROM Notes"), "text");
}

}  // namespace
}  // namespace almanoria::odbcdriver
