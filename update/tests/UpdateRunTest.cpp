#include <gtest/gtest.h>

#include <algorithm>

#include "testing/support/CalendarFiles.hpp"
#include "testing/support/UpdateFixture.hpp"

namespace almanoria {
namespace {

using testing::ExecSql;
using testing::QueryRows;
using testing::QueryValue;
using testing::ReadFile;

class UpdateRunTest : public testing::UpdateFixture {
  protected:
    std::string Count(std::string_view sql) { return QueryValue(mDatabasePath, sql); }
};

TEST_F(UpdateRunTest, AMissingFileFailsAtTheOpenAndLeavesTheWaitText) {
    mDatabasePath = (dir / "missing.mdb").string();
    PressNext();
    EXPECT_TRUE(Failed());
    ASSERT_EQ(box.Places(), std::vector<std::string>{"frmMain.OpenDatabase 40"});
    ASSERT_NE(database.gConnection, nullptr);
    EXPECT_EQ(
        testing::FailureOf([&] { database.gConnection->Query("SELECT * FROM Dates"); }).Number(),
        ErrorNumber::ConnectionUnusable);
    EXPECT_FALSE(std::filesystem::exists(mDatabasePath));
    EXPECT_NE(
        ReadFile(dir / "error.log").find("In module: frmMain.OpenDatabase\r\nAt line: 40\r\n"),
        std::string::npos);
    EXPECT_EQ(events.Yields, 1);
}

TEST_F(UpdateRunTest, AFileThatIsNoDatabaseIsReportedAndLeftUnchanged) {
    mDatabasePath = (dir / "notes.mdb").string();
    testing::WriteFile(mDatabasePath, "these are my notes, not a calendar\n");
    PressNext();
    EXPECT_TRUE(Failed());
    EXPECT_EQ(box.Reports().at(0).Module, "frmMain.OpenDatabase");
    EXPECT_EQ(ReadFile(mDatabasePath), "these are my notes, not a calendar\n");
}

TEST_F(UpdateRunTest, AFirstRunWritesTheWholeYear) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    PressNext();
    EXPECT_TRUE(box.Shown.empty()) << box.Shown.at(0).Text;
    EXPECT_TRUE(Finished());

    // Every day with its colour and notes, every name of the year linked to its own date once.
    testing::ExpectWholeYear(mDatabasePath);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Dates WHERE DateNotes = ''"), "366");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Dates WHERE DateText LIKE '%''''%'"), "0");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Dates WHERE DateText LIKE '%''%'"),
              Count("SELECT COUNT(*) FROM Dates WHERE instr(DateText, char(39)) > 0"));
    // Every day's count is its number of links.
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Dates d WHERE EventCount <> "
                    "(SELECT COUNT(*) FROM EventDates l WHERE l.EventDate = d.DateKey)"),
              "0");
    EXPECT_EQ(Count("SELECT SUM(EventCount) FROM Dates"), "72");

    EXPECT_EQ(Count("SELECT COUNT(*) FROM Events"), "72");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Events WHERE AllDayEvent = 1 AND StartTime = '0:00 AM' "
                    "AND EndTime = '11:59 PM' AND EventColor = '' AND EventIcon = '' "
                    "AND Notes = '' AND Recurring = 0"),
              "72");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM EventDates"), "72");
}

TEST_F(UpdateRunTest, ASecondRunAddsNothingAndRestoresEditedDays) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    PressNext();
    ExecSql(mDatabasePath,
            "UPDATE Dates SET DateColor = 'Blue', DateText = 'mine', DateNotes = 'keep me', "
            "EventCount = 5 WHERE DateKey = '2012-04-06'");
    const auto before = QueryRows(mDatabasePath, "SELECT rowid, DateKey FROM Dates ORDER BY rowid");
    cmdButton1.SetCaption("Next >");
    cmdCancel.SetEnabled(true);

    observer.Seen.clear();
    PressNext();
    EXPECT_TRUE(box.Shown.empty());
    EXPECT_TRUE(Finished());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Events"), "72");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM EventDates"), "72");
    EXPECT_EQ(QueryRows(mDatabasePath, "SELECT rowid, DateKey FROM Dates ORDER BY rowid"), before);
    EXPECT_EQ(QueryRows(mDatabasePath,
                        "SELECT DateColor, DateNotes, EventCount, length(DateText) FROM Dates "
                        "WHERE DateKey = '2012-04-06'"),
              (std::vector<std::vector<std::string>>{{"Gray", "keep me", "5", "204"}}));
    EXPECT_EQ(std::count_if(observer.Seen.begin(), observer.Seen.end(),
                            [](const std::string& s) { return s.starts_with("INSERT"); }),
              0);
}

TEST_F(UpdateRunTest, WithoutADatesTableThePassFailsOnItsFirstDayAndTheConnectionStaysOpen) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    ExecSql(mDatabasePath, "DROP TABLE Dates");
    PressNext();
    EXPECT_TRUE(Failed());
    ASSERT_EQ(box.Places(), std::vector<std::string>{"frmMain.InitDates 140"});
    EXPECT_EQ(box.Reports()[0].Description, "no such table: Dates");
    ASSERT_NE(database.gConnection, nullptr);
    EXPECT_NO_THROW(database.gConnection->Query("SELECT * FROM Events"));
    database.gConnection.reset();
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Events"), "0");
}

TEST_F(UpdateRunTest, EventsAlreadyThereAreMatchedOnlyByExactNameAsAllDayEvents) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    ExecSql(mDatabasePath,
            "INSERT INTO Events (EventID, EventName, AllDayEvent, Recurring) VALUES "
            "(100, 'Good Friday', 0, 0), (101, 'good friday', 1, 0), (102, 'Flag Day ', 1, 0), "
            "(103, 'Labor Day', 1, 0);"
            "INSERT INTO EventDates VALUES (100, '2012-04-06'), (101, '2012-04-06'), "
            "(102, '2012-06-14'), (103, '2012-09-03');");
    PressNext();
    EXPECT_TRUE(box.Shown.empty());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Events WHERE EventName = 'Good Friday'"), "2");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Events WHERE EventName = 'Flag Day'"), "1");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Events WHERE EventName = 'Labor Day'"), "1");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Events"), "75");  // 71 new beside the 4 there
}

TEST_F(UpdateRunTest, AnOrphanLinkIsReportedOncePerNameAndThePassGoesOn) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    ExecSql(mDatabasePath, "INSERT INTO EventDates VALUES (999, '2012-02-22')");  // two names
    PressNext();
    EXPECT_TRUE(Finished());
    EXPECT_EQ(box.Places(), (std::vector<std::string>(2, "basDatabase.GetEventData 80")));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Events"), "72");
}

TEST_F(UpdateRunTest, TooManyLinksOnADayEndTheEventPassButNotTheRun) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    ExecSql(mDatabasePath,
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 32768) "
            "INSERT INTO EventDates SELECT 5000 + i, '2012-01-06' FROM n");
    PressNext();
    EXPECT_TRUE(Finished());
    ASSERT_EQ(box.Places(), std::vector<std::string>{"basDatabase.GetEventsByDate 170"});
    EXPECT_EQ(box.Reports()[0].Number, 6);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Events"), "1");  // New Year's Day came before
}

TEST_F(UpdateRunTest, AFullDayCountOverflowsAndTheRunStillFinishes) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    ExecSql(mDatabasePath,
            "INSERT INTO Dates VALUES ('2012-01-01', 'White', 2147483647, 'n', 't')");
    PressNext();
    EXPECT_TRUE(Finished());
    ASSERT_EQ(box.Places(), std::vector<std::string>{"basDatabase.IncrementEventCount 130"});
    // Nothing of the name stays, neither its event nor its link, and nothing after it.
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Events"), "0");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM EventDates"), "0");
    EXPECT_EQ(Count("SELECT EventCount FROM Dates WHERE DateKey = '2012-01-01'"), "2147483647");
}

// A write refused between a name's link and its count takes the whole name back, before its box
// is shown: the names before it stay, nothing of it does, and once the refusal is gone a second
// run completes it.
TEST_F(UpdateRunTest, ACountRefusedAfterItsLinkLeavesNothingOfTheNameAndASecondRunCompletesIt) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    ExecSql(mDatabasePath, testing::kRefuseTheSecondCountOfFebruary22);
    const testing::RefusedNameCheck refused(mDatabasePath, box);
    PressNext();
    EXPECT_TRUE(Finished());
    refused.ExpectTheNameTakenBack();

    ExecSql(mDatabasePath, testing::kDropCountRefusal);
    cmdButton1.SetCaption("Next >");
    cmdCancel.SetEnabled(true);
    PressNext();
    EXPECT_TRUE(Finished());
    EXPECT_EQ(box.Places().size(), 1u);
    testing::ExpectWholeYear(mDatabasePath);
    testing::ExpectNamesWhole(mDatabasePath);
}

TEST_F(UpdateRunTest, StatementsOfOneDayAreWrittenCharacterForCharacter) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    ExecSql(mDatabasePath, "INSERT INTO Dates VALUES ('2012-01-02', 'Green', 0, '', '')");
    PressNext();
    const auto& seen = observer.Seen;
    const auto contains = [&](const std::string& statement) {
        return std::find(seen.begin(), seen.end(), statement) != seen.end();
    };
    // A plain day without a row, and a day whose row exists.
    EXPECT_TRUE(contains("SELECT * FROM Dates WHERE (((Dates.DateKey)=#1/3/2012#));"));
    EXPECT_TRUE(
        contains("INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) "
                 "VALUES ('1/3/2012','White','0','','');"));
    EXPECT_TRUE(
        contains("UPDATE Dates SET DateColor = 'White', DateText = '' "
                 "WHERE (((Dates.DateKey)=#1/2/2012#));"));
    // A day with two names: one id list, then an insert, identity, link and count for each.
    const auto first =
        std::find(seen.begin(), seen.end(),
                  "SELECT * FROM EventDates WHERE (((EventDates.EventDate)=#2/22/2012#));");
    ASSERT_NE(first, seen.end());
    const std::vector<std::string> expected{
        "SELECT * FROM EventDates WHERE (((EventDates.EventDate)=#2/22/2012#));",
        "INSERT INTO Events (EventName, AllDayEvent, StartTime, EndTime, EventColor, EventIcon, "
        "Notes, Recurring) VALUES ('Ash Wednesday','1','0:00 AM','11:59 PM','','','','0');",
        "SELECT @@IDENTITY",
        "INSERT INTO EventDates (EventId, EventDate) VALUES ('" + std::to_string(11) +
            "','2/22/2012');",
        "SELECT * FROM Dates WHERE (((Dates.DateKey)=#2/22/2012#));",
        "UPDATE Dates SET EventCount = 1 WHERE (((Dates.DateKey)=#2/22/2012#));",
        "INSERT INTO Events (EventName, AllDayEvent, StartTime, EndTime, EventColor, EventIcon, "
        "Notes, Recurring) VALUES ('Washington''s Birthday','1','0:00 AM','11:59 "
        "PM','','','','0');",
        "SELECT @@IDENTITY",
        "INSERT INTO EventDates (EventId, EventDate) VALUES ('12','2/22/2012');",
        "SELECT * FROM Dates WHERE (((Dates.DateKey)=#2/22/2012#));",
        "UPDATE Dates SET EventCount = 2 WHERE (((Dates.DateKey)=#2/22/2012#));",
        "SELECT * FROM EventDates WHERE (((EventDates.EventDate)=#2/26/2012#));"};
    EXPECT_EQ(std::vector<std::string>(first, first + static_cast<long>(expected.size())),
              expected);
}

TEST_F(UpdateRunTest, TheWorkIsTheStatementsTheUpdateCountsAndNoMore) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    PressNext();
    const auto starting = [&](std::string_view prefix) {
        return std::count_if(observer.Seen.begin(), observer.Seen.end(),
                             [&](const std::string& s) { return s.starts_with(prefix); });
    };
    // 732 in the Dates pass; 64 id lists; per name an insert, identity, link, day query, count.
    EXPECT_EQ(observer.Seen.size(), 732u + 64u + 72u * 5u);
    EXPECT_EQ(starting("SELECT * FROM EventDates"), 64);
    EXPECT_EQ(starting("SELECT @@IDENTITY"), 72);
    EXPECT_EQ(starting("SELECT * FROM Events "), 0);
}

}  // namespace
}  // namespace almanoria
