#include <gtest/gtest.h>

#include "testing/support/CalendarFiles.hpp"
#include "testing/support/UpdateFixture.hpp"

namespace almanoria {
namespace {

using testing::ExecSql;
using testing::QueryRows;
using testing::QueryValue;

using Rows = std::vector<std::vector<std::string>>;

// The database module on an open calendar file, as the update run leaves it between passes.
class basDatabaseTest : public testing::UpdateFixture {
  protected:
    void SetUp() override {
        mDatabasePath = testing::MakeCalendar(dir).string();
        ASSERT_EQ(run.OpenDatabase(mDatabasePath), vbTrue);
    }
    void TearDown() override { database.gConnection.reset(); }

    static EventFields AllDayEvent(std::string name) {
        return {std::move(name), "1", "0:00 AM", "11:59 PM", "", "", "", "0", "ignored"};
    }
    Rows Query(std::string_view sql) { return QueryRows(mDatabasePath, sql); }
};

TEST_F(basDatabaseTest, AnEventOnADayWithARowRaisesItsCount) {
    ExecSql(mDatabasePath, "INSERT INTO Dates VALUES ('2012-01-01', 'White', 0, '', '')");
    std::string id = "before";
    ASSERT_EQ(database.AddEventToDatabase(AllDayEvent("New Year''s Day"), {"1/1/2012"}, id),
              vbTrue);
    EXPECT_EQ(Query("SELECT EventID, EventName, AllDayEvent, StartTime, EndTime, EventColor, "
                    "EventIcon, Notes, Recurring FROM Events"),
              (Rows{{id, "New Year's Day", "1", "0:00 AM", "11:59 PM", "", "", "", "0"}}));
    EXPECT_EQ(Query("SELECT EventId, EventDate FROM EventDates"), (Rows{{id, "2012-01-01"}}));
    EXPECT_EQ(Query("SELECT DateColor, EventCount FROM Dates"), (Rows{{"White", "1"}}));
}

TEST_F(basDatabaseTest, AnEventOnAMissingDayCreatesTheDayWithCountOne) {
    std::string id;
    ASSERT_EQ(database.AddEventToDatabase(AllDayEvent("Flag Day"), {"6/14/2012"}, id), vbTrue);
    EXPECT_EQ(Query("SELECT DateKey, DateColor, EventCount, DateNotes, DateText FROM Dates"),
              (Rows{{"2012-06-14", "", "1", "", ""}}));
}

TEST_F(basDatabaseTest, AnEventOnAMissingDayIssuesItsStatementsCharacterForCharacter) {
    std::string id;
    ASSERT_EQ(database.AddEventToDatabase(AllDayEvent("Flag Day"), {"6/14/2012"}, id), vbTrue);
    ASSERT_EQ(id, QueryValue(mDatabasePath, "SELECT EventID FROM Events"));
    EXPECT_EQ(observer.Seen,
              (std::vector<std::string>{
                  "INSERT INTO Events (EventName, AllDayEvent, StartTime, EndTime, EventColor, "
                  "EventIcon, Notes, Recurring) VALUES ('Flag Day','1','0:00 AM','11:59 "
                  "PM','','','','0');",
                  "SELECT @@IDENTITY",
                  "INSERT INTO EventDates (EventId, EventDate) VALUES ('" + id + "','6/14/2012');",
                  "SELECT * FROM Dates WHERE (((Dates.DateKey)=#6/14/2012#));",
                  "INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) "
                  "VALUES ('6/14/2012','','1','','');"}));
}

TEST_F(basDatabaseTest, EmptyDatesInTheListAreSkipped) {
    std::string id;
    ASSERT_EQ(database.AddEventToDatabase(AllDayEvent("A"), {"", ""}, id), vbTrue);
    EXPECT_EQ(QueryValue(mDatabasePath, "SELECT COUNT(*) FROM EventDates"), "0");
    ASSERT_EQ(database.AddEventToDatabase(AllDayEvent("B"), {"3/1/2012", "", "3/2/2012"}, id),
              vbTrue);
    EXPECT_EQ(Query("SELECT EventDate FROM EventDates ORDER BY EventDate"),
              (Rows{{"2012-03-01"}, {"2012-03-02"}}));
    EXPECT_TRUE(box.Shown.empty());
}

TEST_F(basDatabaseTest, AFailedLinkEndsTheInsertAndKeepsTheEventRow) {
    ExecSql(mDatabasePath, "DROP TABLE EventDates");
    std::string id;
    EXPECT_EQ(database.AddEventToDatabase(AllDayEvent("A"), {"3/1/2012", "3/2/2012"}, id), vbFalse);
    ASSERT_EQ(box.Places(), std::vector<std::string>{"basDatabase.AddEventDate 30"});
    EXPECT_EQ(QueryValue(mDatabasePath, "SELECT COUNT(*) FROM Events"), "1");
    EXPECT_EQ(id, QueryValue(mDatabasePath, "SELECT EventID FROM Events"));
    EXPECT_EQ(QueryValue(mDatabasePath, "SELECT COUNT(*) FROM Dates"), "0");
}

TEST_F(basDatabaseTest, AnUndoubledApostropheFailsTheInsertWithNothingWritten) {
    std::string id;
    EXPECT_EQ(database.AddEventToDatabase(AllDayEvent("New Year's Day"), {"1/1/2012"}, id),
              vbFalse);
    ASSERT_EQ(box.Places(), std::vector<std::string>{"basDatabase.AddEventToDatabase 100"});
    EXPECT_EQ(QueryValue(mDatabasePath, "SELECT COUNT(*) FROM Events"), "0");
    EXPECT_EQ(QueryValue(mDatabasePath, "SELECT COUNT(*) FROM EventDates"), "0");
    EXPECT_EQ(id, "");
}

TEST_F(basDatabaseTest, AShortFieldArrayFailsBeforeAnythingIsWritten) {
    std::string id;
    EXPECT_EQ(database.AddEventToDatabase({"A", "1", "x", "y", "", ""}, {"1/1/2012"}, id), vbFalse);
    EXPECT_EQ(box.Reports().at(0).Line, 90);
    EXPECT_EQ(box.Reports().at(0).Number, 9);
    EXPECT_EQ(QueryValue(mDatabasePath, "SELECT COUNT(*) FROM Events"), "0");
}

TEST_F(basDatabaseTest, ACountThatIsNoNumberIsReportedAfterTheLinkIsWritten) {
    ExecSql(mDatabasePath, "INSERT INTO Dates VALUES ('2012-01-01', 'White', 'many', '', '')");
    std::string id;
    EXPECT_EQ(database.AddEventToDatabase(AllDayEvent("A"), {"1/1/2012"}, id), vbFalse);
    ASSERT_EQ(box.Places(), std::vector<std::string>{"basDatabase.IncrementEventCount 120"});
    EXPECT_EQ(box.Reports()[0].Number, 13);
    EXPECT_EQ(QueryValue(mDatabasePath, "SELECT COUNT(*) FROM EventDates"), "1");
}

TEST_F(basDatabaseTest, TheIdListHoldsOneIdPerLinkOrOneEmptyElement) {
    EventIdList ids{"stale", "stale"};
    ASSERT_EQ(database.GetEventsByDate("2/2/2012", ids), vbTrue);
    EXPECT_EQ(ids, EventIdList{""});

    ExecSql(mDatabasePath,
            "INSERT INTO EventDates VALUES (7, '2012-02-02'), (NULL, '2012-02-02'), "
            "(9, '2012-02-02'), (8, '2012-02-03')");
    ASSERT_EQ(database.GetEventsByDate("2/2/2012", ids), vbTrue);
    EXPECT_EQ(ids, (EventIdList{"7", "", "9"}));
}

TEST_F(basDatabaseTest, AnEventReadsBackInTheLookupLayout) {
    std::string id;
    ASSERT_EQ(database.AddEventToDatabase(AllDayEvent("Groundhog Day"), {"2/2/2012"}, id), vbTrue);
    EventFields fields(kEventFieldCount, "stale");
    ASSERT_EQ(database.GetEventData(id, fields), vbTrue);
    EXPECT_EQ(fields, (EventFields{id, "Groundhog Day", "True", "0:00 AM", "11:59 PM", "", "", "",
                                   "False"}));
}

TEST_F(basDatabaseTest, TheEventLookupIssuesItsStatementCharacterForCharacter) {
    ExecSql(
        mDatabasePath,
        "INSERT INTO Events (EventID, EventName, AllDayEvent, Recurring) VALUES (42, 'A', 1, 0)");
    EventFields fields(kEventFieldCount);
    ASSERT_EQ(database.GetEventData("42", fields), vbTrue);
    EXPECT_EQ(observer.Seen,
              std::vector<std::string>{"SELECT * FROM Events WHERE (((Events.EventID)=42));"});
}

TEST_F(basDatabaseTest, AMissingEventFailsAtItsFirstReadWithAllFieldsEmpty) {
    EventFields fields(kEventFieldCount, "stale");
    EXPECT_EQ(database.GetEventData("4711", fields), vbFalse);
    EXPECT_EQ(fields, EventFields(kEventFieldCount, ""));
    ASSERT_EQ(box.Places(), std::vector<std::string>{"basDatabase.GetEventData 80"});
}

TEST_F(basDatabaseTest, ANullAllDayFlagIsAFailureOfTheLookup) {
    ExecSql(mDatabasePath, "INSERT INTO Events (EventID, EventName) VALUES (5, 'Odd')");
    EventFields fields(kEventFieldCount);
    EXPECT_EQ(database.GetEventData("5", fields), vbFalse);
    EXPECT_EQ(box.Reports().at(0).Line, 100);
    EXPECT_EQ(box.Reports().at(0).Number, 94);
    EXPECT_EQ(fields[1], "Odd");
}

TEST_F(basDatabaseTest, CloseDatabaseReleasesTheConnection) {
    database.CloseDatabase();
    EXPECT_EQ(database.gConnection, nullptr);
    EXPECT_THROW(database.CloseDatabase(),
                 Failure);  // nothing to close: the caller's trap reports it
}

}  // namespace
}  // namespace almanoria
