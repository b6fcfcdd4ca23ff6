// frmMain driving whole runs on real calendar files, read back with plain SQLite.
#include <gtest/gtest.h>

#include "testing/support/CalendarFiles.hpp"
#include "tools/calendardb/CalendarDatabase.hpp"
#include "window/tests/FormFixture.hpp"

namespace almanoria {
namespace {

using testing::QueryValue;

class frmMainRunTest : public testing::frmMainTest {
  protected:
    void InstallDefaultDatabase() {
        std::filesystem::create_directories(std::filesystem::path(defaultPath).parent_path());
        CreateCalendarDatabase(defaultPath);
    }
};

TEST_F(frmMainRunTest, NextUpdatesTheDatabaseAndFinishCloses) {
    InstallDefaultDatabase();
    form.Form_Load();
    form.cmdButton1_Click();
    EXPECT_TRUE(box.Shown.empty());
    EXPECT_TRUE(Finished());
    EXPECT_EQ(QueryValue(defaultPath, "SELECT COUNT(*) FROM Dates"), "366");
    EXPECT_EQ(platform.Unloads, 0);
    form.cmdButton1_Click();
    EXPECT_EQ(platform.Unloads, 1);
}

TEST_F(frmMainRunTest, AfterFinishBrowsingArmsAnotherRunWithCancelStillDisabled) {
    InstallDefaultDatabase();
    form.Form_Load();
    form.cmdButton1_Click();
    const std::filesystem::path other = testing::MakeCalendar(dir, "other.mdb");
    dialog.Answer = other.string();
    form.cmdBrowse_Click();
    ExpectReady(other.string());
    EXPECT_FALSE(cmdCancel.Enabled());
    form.cmdButton1_Click();
    EXPECT_EQ(QueryValue(other, "SELECT COUNT(*) FROM Events"), "72");
}

TEST_F(frmMainRunTest, TypingIntoThePathBoxChangesNothing) {
    InstallDefaultDatabase();
    form.Form_Load();
    txtDatabaseFile.SetText("/somewhere/else.mdb");
    form.cmdButton1_Click();
    EXPECT_EQ(QueryValue(defaultPath, "SELECT COUNT(*) FROM Events"), "72");
}

TEST_F(frmMainRunTest, ClicksDispatchedDuringTheYieldDoNoHarm) {
    InstallDefaultDatabase();
    form.Form_Load();
    dialog.Answer = "/elsewhere.mdb";
    events.Pending = [&] {
        form.cmdBrowse_Click();
        form.cmdButton1_Click();
        form.cmdCancel_Click();
        EXPECT_FALSE(form.QueryClose());
        EXPECT_EQ(platform.Unloads, 0);
    };
    form.cmdButton1_Click();
    EXPECT_EQ(dialog.Opened, 0);
    EXPECT_EQ(QueryValue(defaultPath, "SELECT COUNT(*) FROM Events"), "72");
    EXPECT_EQ(events.Yields, 1);
    // The close asked for during the run happens once the run has returned.
    EXPECT_EQ(platform.Unloads, 1);
    EXPECT_TRUE(form.QueryClose());
}

}  // namespace
}  // namespace almanoria
