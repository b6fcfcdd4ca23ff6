// The window's logic without a window, on both platforms' default paths. The runs on a real
// calendar file are in frmMainRunTest.cpp.
#include <gtest/gtest.h>

#include "window/tests/FormFixture.hpp"

namespace almanoria {
namespace {

using testing::frmMainTest;
using testing::SevenPixelsEach;

TEST(DefaultDatabasePath, MapsToTheUsersDataFolder) {
    EXPECT_EQ(MapDefaultDatabasePath("/data", "/home/ann"),
              "/data/Almanoria Desktop Calendar/dbcalndr.mdb");
    EXPECT_EQ(MapDefaultDatabasePath(nullptr, "/home/ann"),
              "/home/ann/.local/share/Almanoria Desktop Calendar/dbcalndr.mdb");
    EXPECT_EQ(MapDefaultDatabasePath("relative", "/home/ann"),
              "/home/ann/.local/share/Almanoria Desktop Calendar/dbcalndr.mdb");
}

TEST(FormTexts, AreBuiltFromTheirPieces) {
    EXPECT_EQ(ReadyText(),
              "The Almanoria Calendar Update will update your Almanoria Calendar database. \r\n"
              "Please click Next to begin the update.\r\n\r\n"
              "To update a different database file than the one displayed below, click the Browse "
              "and select the file to update.");
    EXPECT_EQ(NotFoundText(),
              "The Almanoria Calendar Update will update your Almanoria Calendar database. \r\n\r\n"
              "The Almanoria database file is not installed in the default directory.\r\n"
              "Click the Browse button to find the database file yourself.");
}

TEST_F(frmMainTest, WithoutTheDefaultDatabaseItStartsNotFound) {
    form.Form_Load();
    ExpectNotFound();
    EXPECT_EQ(cmdButton1.Caption(), "Next >");
    EXPECT_TRUE(box.Shown.empty());
    EXPECT_EQ(platform.Looked, std::vector<std::string>{defaultPath});
}

TEST_F(frmMainTest, WithoutACalendarInTheProgramFilesFoldersEitherItStartsNotFound) {
    UseProgramFilesFolders();
    platform.Folders.insert(platform.Folders.begin() + 1, "");  // a folder the shell could not name
    form.Form_Load();
    ExpectNotFound();
    EXPECT_TRUE(box.Shown.empty());
    const std::vector<std::string> looked{defaultPath, installedPaths[0], installedPaths[1]};
    EXPECT_EQ(platform.Looked, looked);
}

TEST_F(frmMainTest, WithoutTheDefaultDatabaseTheFirstProgramFilesFolderHoldingItIsTaken) {
    UseProgramFilesFolders();
    platform.Present.insert(installedPaths[1]);
    form.Form_Load();
    ExpectReady(installedPaths[1]);
    EXPECT_TRUE(txtDatabaseFile.Text().ends_with("\\dbcalndr.mdb")) << txtDatabaseFile.Text();
    EXPECT_TRUE(box.Shown.empty());

    // The 32-bit programs' folder comes first.
    platform.Present.insert(installedPaths[0]);
    form.Form_Load();
    ExpectReady(installedPaths[0]);
}

TEST_F(frmMainTest, TheDefaultDatabaseWinsOverTheProgramFilesFolders) {
    UseProgramFilesFolders();
    platform.Present.insert(installedPaths[0]);
    platform.Present.insert(defaultPath);
    form.Form_Load();
    ExpectReady(defaultPath);
    EXPECT_EQ(platform.Looked, std::vector<std::string>{defaultPath});
}

TEST_F(frmMainTest, WithTheDefaultDatabaseItStartsReadyAndShowsThePathShortened) {
    platform.Present.insert(defaultPath);
    form.Form_Load();
    ExpectReady(defaultPath);
    // 5495 twips at 15 twips a pixel leave 366 pixels: 52 characters of seven pixels.
    EXPECT_LE(SevenPixelsEach(txtDatabaseFile.Text()), 366);
    const std::string fileName = std::filesystem::path(defaultPath).filename().string();
    EXPECT_EQ(fileName, "dbcalndr.mdb");
    EXPECT_TRUE(
        txtDatabaseFile.Text().ends_with("..." + defaultPath.substr(defaultPath.size() - 13)))
        << txtDatabaseFile.Text();
    EXPECT_NE(txtDatabaseFile.Text(), defaultPath);
}

TEST_F(frmMainTest, BrowsingSetsTheDialogUpAndArmsTheChosenFile) {
    form.Form_Load();
    dialog.Answer = "/x/a.mdb";
    form.cmdBrowse_Click();
    EXPECT_EQ(dialog.SeenTitle, "Select Almanoria Database File");
    EXPECT_EQ(dialog.InitDir, "/opt/almanoria");
    EXPECT_EQ(dialog.DefaultExt, ".mdb");
    EXPECT_EQ(dialog.Filter, "Database Files (*.mdb)|*.mdb");
    EXPECT_EQ(dialog.SeenFlags, 0x81000);
    EXPECT_FALSE(dialog.CancelError);
    ExpectReady("/x/a.mdb");
    EXPECT_EQ(txtDatabaseFile.Text(), "/x/a.mdb");
}

TEST_F(frmMainTest, ACancelledBrowseChangesNothingInEitherState) {
    form.Form_Load();
    dialog.Answer = "";
    form.cmdBrowse_Click();
    ExpectNotFound();

    dialog.Answer = "/x/a.mdb";
    form.cmdBrowse_Click();
    dialog.Answer = "";
    form.cmdBrowse_Click();
    ExpectReady("/x/a.mdb");
    EXPECT_EQ(dialog.Opened, 3);
}

TEST_F(frmMainTest, AFailedOpenLeavesTheFailedStateAndCancelCloses) {
    form.Form_Load();
    dialog.Answer = (dir / "gone.mdb").string();
    form.cmdBrowse_Click();
    form.cmdButton1_Click();
    EXPECT_TRUE(Failed());
    EXPECT_EQ(box.Reports().at(0).Module, "frmMain.OpenDatabase");
    form.cmdCancel_Click();
    EXPECT_EQ(platform.Unloads, 1);
}

TEST_F(frmMainTest, AnyOtherCaptionDoesNothing) {
    form.Form_Load();
    cmdButton1.SetCaption("Next");
    form.cmdButton1_Click();
    EXPECT_EQ(platform.Unloads, 0);
    EXPECT_TRUE(box.Shown.empty());
    EXPECT_EQ(lblUpdate.Caption(), NotFoundText());
}

TEST_F(frmMainTest, AFailingPathDisplayIsReportedAtLine50) {
    form.Form_Load();
    txtDatabaseFile.SetText("previous");
    deviceContext.Broken = true;
    dialog.Answer = "/x/a.mdb";
    form.cmdBrowse_Click();
    ASSERT_EQ(box.Places(), std::vector<std::string>{"frmMain.EnableUpdate 50"});
    EXPECT_EQ(lblUpdate.Caption(), ReadyText());
    EXPECT_EQ(txtDatabaseFile.Text(), "previous");
    EXPECT_FALSE(cmdButton1.Enabled());
}

}  // namespace
}  // namespace almanoria
