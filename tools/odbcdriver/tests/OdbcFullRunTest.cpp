// The whole update as the Windows program runs it: the real connection string, the ODBC engine
// with its date escapes, the driver manager and the Access-dialect test driver.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/odbc/OdbcEngine.hpp"
#include "tools/odbcdriver/tests/LocaleEnvironment.hpp"
#include "tools/testing/UpdateFixture.hpp"

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

class OdbcFullRun : public testing::BasicUpdateFixture<OdbcEngineFactory> {
  protected:
    void ExpectFinishedWithoutReports() {
        EXPECT_TRUE(box.Shown.empty()) << box.Shown.at(0).Text;
        EXPECT_EQ(lblUpdate.Caption(), "Update completed!  Please click Finish to end the update.");
        EXPECT_EQ(cmdButton1.Caption(), "Finish");
        EXPECT_TRUE(cmdButton1.Enabled());
        EXPECT_FALSE(cmdCancel.Enabled());
        EXPECT_EQ(database.gConnection, nullptr);
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

TEST_F(OdbcFullRun, AFirstRunLeavesWhatTheEmbeddedEngineLeaves) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    PressNext();
    ExpectFinishedWithoutReports();
    const std::vector<Rows> content = Content(mDatabasePath);
    EXPECT_EQ(content[0].size(), 366u);
    EXPECT_EQ(content[1].size(), 72u);
    EXPECT_EQ(content[2].size(), 72u);
    EXPECT_EQ(content, EmbeddedRun().Run());
}

TEST_F(OdbcFullRun, ASecondRunAddsNothing) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    PressNext();
    const std::vector<Rows> first = Content(mDatabasePath);
    cmdButton1.SetCaption("Next >");
    cmdCancel.SetEnabled(true);
    PressNext();
    ExpectFinishedWithoutReports();
    EXPECT_EQ(Content(mDatabasePath), first);
}

TEST_F(OdbcFullRun, WithoutADatesTableTheFailureIsReportedAtTheFirstDay) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    testing::ExecSql(mDatabasePath, "DROP TABLE Dates");
    PressNext();
    ASSERT_EQ(box.Reports().size(), 1u);
    EXPECT_EQ(box.Reports()[0].Module, "frmMain.InitDates");
    EXPECT_EQ(box.Reports()[0].Line, 140);
    EXPECT_EQ(box.Reports()[0].Number, ErrorNumber::ObjectError + 1);
    EXPECT_EQ(box.Reports()[0].Description, "no such table: Dates");
    EXPECT_EQ(cmdButton1.Caption(), "Next >");
    EXPECT_FALSE(cmdButton1.Enabled());
    database.gConnection.reset();
    EXPECT_EQ(testing::QueryValue(mDatabasePath, "SELECT COUNT(*) FROM Events"), "0");
}

TEST_F(OdbcFullRun, OnADayFirstSystemEveryDayLandsOnItsOwnDate) {
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

}  // namespace
}  // namespace almanoria::odbcdriver
