// The whole update as the Windows program runs it: the real connection string, the ODBC engine
// with its date escapes, the driver manager and the Access-dialect test driver. What the ODBC
// layer leaves is compared with what the embedded engine leaves.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/odbc/OdbcEngine.hpp"
#include "testing/odbcdriver/AccessRules.hpp"
#include "testing/odbcdriver/tests/LocaleEnvironment.hpp"
#include "testing/odbcdriver/tests/RawOdbc.hpp"
#include "testing/support/CalendarFiles.hpp"
#include "testing/support/UpdateFixture.hpp"

namespace almanoria::odbcdriver {
namespace {

using testing::QueryRows;
using Rows = std::vector<std::vector<std::string>>;

EngineFactory OdbcEngineFactory() {
    return [](std::string_view connectionString) { return OpenOdbcEngine(connectionString); };
}

// Every table of a calendar, in an order that does not depend on how the rows were written.
std::vector<Rows> Content(const std::string& path) {
    return {QueryRows(path, "SELECT * FROM Dates ORDER BY DateKey"),
            QueryRows(path, "SELECT * FROM Events ORDER BY EventID"),
            QueryRows(path, "SELECT * FROM EventDates ORDER BY EventId, EventDate")};
}

class OdbcLayerFullRun : public testing::BasicUpdateFixture<OdbcEngineFactory> {
  protected:
    void ExpectFinishedWithoutReports() {
        EXPECT_TRUE(box.Shown.empty()) << box.Shown.at(0).Text;
        EXPECT_TRUE(Finished());
    }
};

// The same update on the embedded engine, as the Linux wizard runs it.
class EmbeddedRun : public testing::UpdateFixture {
  public:
    std::vector<Rows> Run() {
        mDatabasePath = testing::MakeCalendar(dir, "embedded.mdb").string();
        PressNext();
        EXPECT_TRUE(box.Shown.empty());
        return Content(mDatabasePath);
    }
    void TestBody() override {}
};

TEST_F(OdbcLayerFullRun, AFirstRunThroughTheOdbcLayerLeavesWhatTheEmbeddedEngineLeaves) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    PressNext();
    ExpectFinishedWithoutReports();
    const std::vector<Rows> content = Content(mDatabasePath);
    EXPECT_EQ(content[0].size(), 366u);
    EXPECT_EQ(content[1].size(), 72u);
    EXPECT_EQ(content[2].size(), 72u);
    EXPECT_EQ(content, EmbeddedRun().Run());
}

TEST_F(OdbcLayerFullRun, ASecondRunThroughTheOdbcLayerAddsNothing) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    PressNext();
    const std::vector<Rows> first = Content(mDatabasePath);
    cmdButton1.SetCaption("Next >");
    cmdCancel.SetEnabled(true);
    PressNext();
    ExpectFinishedWithoutReports();
    EXPECT_EQ(Content(mDatabasePath), first);
}

// A refused write between a name's link and its count, through the driver's transactions: the
// name is rolled back whole before its box is shown, and once the refusal is gone a second run
// completes the year.
TEST_F(OdbcLayerFullRun, ACountRefusedAfterItsLinkLeavesNothingOfTheNameAndASecondRunCompletesIt) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    testing::ExecSql(mDatabasePath, testing::kRefuseTheSecondCountOfFebruary22);
    const testing::RefusedNameCheck refused(mDatabasePath, box);
    PressNext();
    EXPECT_TRUE(Finished());
    refused.ExpectTheNameTakenBack();

    testing::ExecSql(mDatabasePath, testing::kDropCountRefusal);
    cmdButton1.SetCaption("Next >");
    cmdCancel.SetEnabled(true);
    PressNext();
    EXPECT_TRUE(Finished());
    EXPECT_EQ(box.Places().size(), 1u);
    EXPECT_EQ(Content(mDatabasePath), EmbeddedRun().Run());
    testing::ExpectNamesWhole(mDatabasePath);
}

// A name's transaction through the driver: autocommit goes off at 490, and the driver begins
// the transaction with the name's first write, so a file another program holds since the Dates
// pass is refused there; a commit the disk refuses is reported at 500.
TEST(OdbcNameTransaction, AFileHeldWhenTheNameBeginsIsRefusedAtItsFirstWrite) {
    testing::ExpectANameRefusedAtItsBegin(OdbcEngineFactory(),
                                          "basDatabase.AddEventToDatabase 100");
}

TEST(OdbcNameTransaction, ACommitRefusedTakesTheNameBackWhole) {
    testing::ExpectANameRefusedAtItsCommit(OdbcEngineFactory());
}

TEST_F(OdbcLayerFullRun, WithoutADatesTableTheOdbcLayerReportsTheFailureAtTheFirstDay) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    testing::ExecSql(mDatabasePath, "DROP TABLE Dates");
    PressNext();
    ASSERT_EQ(box.Places(), std::vector<std::string>{"frmMain.InitDates 140"});
    EXPECT_EQ(box.Reports()[0].Number, ErrorNumber::ObjectError + 1);
    EXPECT_EQ(box.Reports()[0].Description, "no such table: Dates");
    EXPECT_EQ(cmdButton1.Caption(), "Next >");
    EXPECT_FALSE(cmdButton1.Enabled());
    database.gConnection.reset();
    EXPECT_EQ(testing::QueryValue(mDatabasePath, "SELECT COUNT(*) FROM Events"), "0");
}

TEST_F(OdbcLayerFullRun, OnADayFirstSystemTheOdbcLayerPutsEveryDayOnItsOwnDate) {
    if (!IsInstalled("en_GB.UTF-8")) GTEST_SKIP() << "en_GB.UTF-8 is needed (Debian's locales-all)";
    const std::vector<Rows> expected = EmbeddedRun().Run();
    mDatabasePath = testing::MakeCalendar(dir).string();
    {
        const LocaleEnvironment british("en_GB.UTF-8");
        PressNext();
    }
    ExpectFinishedWithoutReports();
    EXPECT_EQ(Content(mDatabasePath), expected);
    EXPECT_EQ(testing::QueryValue(mDatabasePath,
                                  "SELECT DateColor FROM Dates WHERE DateKey = '2012-05-27'"),
              "Red");
}

// What Windows would store where the calendar's DateText were a TEXT(255) column: the notes
// over 255 characters cut on the right, without a word, as the Access driver cuts them.
TEST_F(OdbcLayerFullRun, ADateTextOfTwoHundredFiftyFiveCharactersKeepsTheFirstOfEachNote) {
    const std::vector<Rows> embedded = EmbeddedRun().Run();
    mDatabasePath = testing::MakeCalendar(dir).string();
    testing::ExecSql(mDatabasePath,
                     "DROP TABLE Dates; CREATE TABLE Dates (DateKey DATETIME, DateColor TEXT, "
                     "EventCount INTEGER, DateNotes TEXT, DateText TEXT(255));");
    PressNext();
    ExpectFinishedWithoutReports();
    const std::vector<Rows> content = Content(mDatabasePath);
    ASSERT_EQ(content[0].size(), embedded[0].size());
    std::size_t cut = 0;
    for (std::size_t day = 0; day < content[0].size(); ++day) {
        std::vector<std::string> expected = embedded[0][day];
        if (CodePointCount(expected[4]) > 255) {
            ++cut;
            expected[4] = std::string(FirstCodePoints(expected[4], 255));
        }
        EXPECT_EQ(content[0][day], expected);
    }
    EXPECT_EQ(cut, 20u);  // the year's notes over 255 characters
    EXPECT_EQ(content[1], embedded[1]);
    EXPECT_EQ(content[2], embedded[2]);
}

// Where the regional settings name no AM and PM (de_DE), the Access driver cannot read the
// program's "0:00 AM": the ODBC layer sends its times as escapes, so Date/Time columns for
// StartTime and EndTime get the times of day on the day Date/Time values count from.
TEST_F(OdbcLayerFullRun, UnderGermanSettingsTheOdbcLayerWritesTimesIntoDateTimeColumns) {
    if (!IsInstalled("de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is needed (Debian's locales-all)";
    const std::vector<Rows> embedded = EmbeddedRun().Run();
    mDatabasePath = testing::MakeCalendar(dir).string();
    testing::ExecSql(mDatabasePath,
                     "DROP TABLE Events; CREATE TABLE Events (EventID INTEGER PRIMARY KEY "
                     "AUTOINCREMENT, EventName TEXT, AllDayEvent YESNO, StartTime DATETIME, "
                     "EndTime DATETIME, EventColor TEXT, EventIcon TEXT, Notes LONGTEXT, "
                     "Recurring YESNO);");
    {
        const LocaleEnvironment german("de_DE.UTF-8");
        // The fault the escapes prevent: the quoted time itself is refused.
        RawConnection raw(mDatabasePath);
        ASSERT_TRUE(SQL_SUCCEEDED(raw.Connected));
        const auto statement = raw.Statement();
        EXPECT_EQ(raw.Execute(*statement,
                              "INSERT INTO Events (EventName, StartTime) VALUES "
                              "('Test','0:00 AM');"),
                  SQL_ERROR);
        EXPECT_EQ(FirstDiagnostic(SQL_HANDLE_STMT, statement->Handle).State, "22018");
        PressNext();
        ExpectFinishedWithoutReports();
        cmdButton1.SetCaption("Next >");
        cmdCancel.SetEnabled(true);
        PressNext();  // finds every event again, times and all
        ExpectFinishedWithoutReports();
    }
    const std::vector<Rows> content = Content(mDatabasePath);
    EXPECT_EQ(content[0], embedded[0]);  // day first, yet every day on its own date
    ASSERT_EQ(content[1].size(), 72u);
    for (const std::vector<std::string>& event : content[1]) {
        EXPECT_EQ(event[3], "1899-12-30") << event[1];
        EXPECT_EQ(event[4], "1899-12-30 23:59:00") << event[1];
    }
    EXPECT_EQ(content[2], embedded[2]);
}

}  // namespace
}  // namespace almanoria::odbcdriver
