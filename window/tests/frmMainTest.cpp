#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "tools/calendardb/CalendarDatabase.hpp"
#include "tools/testing/UpdateFixture.hpp"
#include "window/basCommonFunctions.hpp"
#include "window/frmMain.hpp"
#include "yeardata/TextLength.hpp"

namespace almanoria {
namespace {

using testing::QueryValue;

// Every character is seven pixels wide.
int SevenPixelsEach(std::string_view text) {
    return static_cast<int>(Utf16Length(text)) * 7;
}

class FakeDialog final : public CommonDialog {
  public:
    void ShowOpen() override {
        ++Opened;
        SeenTitle = DialogTitle;
        SeenFlags = Flags;
        FileName = Answer;
    }
    std::string Answer;
    int Opened = 0;
    std::string SeenTitle;
    Long SeenFlags = 0;
};

class FakeDeviceContext final : public DeviceContext {
  public:
    double TwipsPerPixelX() const override { return TwipsPerPixel; }
    void CompactPathInPlace(std::string& buffer, std::uint32_t pixels) override {
        if (Broken) throw Failure(5, "Invalid procedure call or argument");
        const std::string shortened = ShortenPath(buffer, pixels, SevenPixelsEach);
        if (shortened.size() < buffer.size())
            buffer.replace(0, shortened.size() + 1, shortened + '\0');
    }
    double TwipsPerPixel = 15;
    bool Broken = false;
};

// Files on this machine's disk; a path may name its folders with backslashes, as a Windows
// platform joins them.
class FakePlatform final : public FormPlatform {
  public:
    bool FileExists(const std::string& path) const override {
        std::string onDisk = path;
        std::replace(onDisk.begin(), onDisk.end(), '\\', '/');
        Looked.push_back(path);
        return std::filesystem::is_regular_file(onDisk);
    }
    std::string ProgramDirectory() const override { return "/opt/almanoria"; }
    std::vector<std::string> ProgramFilesFolders() const override { return Folders; }
    void Unload() override { ++Unloads; }
    int Unloads = 0;
    std::vector<std::string> Folders;
    mutable std::vector<std::string> Looked;
};

class frmMainTest : public testing::UpdateFixture {
  protected:
    void SetUp() override {
        setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
        defaultPath = DefaultDatabasePath();
    }
    void TearDown() override { unsetenv("XDG_DATA_HOME"); }

    void InstallDefaultDatabase() {
        std::filesystem::create_directories(std::filesystem::path(defaultPath).parent_path());
        CreateCalendarDatabase(defaultPath);
    }
    // Two Program Files folders as Windows names them, 32-bit programs' first; the calendar's
    // path in each, as the window looks for it.
    void UseProgramFilesFolders() {
        for (const char* name : {"Program Files (x86)", "Programme"}) {
            std::filesystem::create_directories(dir.Path() / name);
            platform.Folders.push_back((dir.Path() / name).string());
            installedPaths.push_back(platform.Folders.back() +
                                     "\\Almanoria Desktop Calendar\\dbcalndr.mdb");
        }
    }
    void InstallIn(const std::string& folder) {
        const std::filesystem::path path = folder + "/Almanoria Desktop Calendar/dbcalndr.mdb";
        std::filesystem::create_directories(path.parent_path());
        CreateCalendarDatabase(path);
    }
    void ExpectReady(const std::string& path) {
        EXPECT_EQ(lblUpdate.Caption(), ReadyText());
        EXPECT_EQ(form.DatabasePath(), path);
        EXPECT_EQ(cmdButton1.Caption(), "Next >");
        EXPECT_TRUE(cmdButton1.Enabled());
    }
    void ExpectNotFound() {
        EXPECT_EQ(lblUpdate.Caption(), NotFoundText());
        EXPECT_EQ(txtDatabaseFile.Text(), "");
        EXPECT_FALSE(cmdButton1.Enabled());
        EXPECT_EQ(form.DatabasePath(), "");
    }

    std::string defaultPath;
    std::vector<std::string> installedPaths;
    HeadlessLabel lblDatabaseFile;
    HeadlessTextBox txtDatabaseFile{5595};
    HeadlessButton cmdBrowse{"&Browse..."};
    FakeDialog dialog;
    FakeDeviceContext deviceContext;
    FakePlatform platform;
    frmMain form{{lblUpdate, lblDatabaseFile, txtDatabaseFile, cmdBrowse, cmdCancel, cmdButton1},
                 dialog,
                 deviceContext,
                 platform,
                 events,
                 errors,
                 database};
};

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
    // A folder of the file's name is no calendar.
    std::filesystem::create_directories(platform.Folders[0] +
                                        "/Almanoria Desktop Calendar/dbcalndr.mdb");
    form.Form_Load();
    ExpectNotFound();
    EXPECT_TRUE(box.Shown.empty());
    const std::vector<std::string> looked{defaultPath, installedPaths[0], installedPaths[1]};
    EXPECT_EQ(platform.Looked, looked);
}

TEST_F(frmMainTest, WithoutTheDefaultDatabaseTheFirstProgramFilesFolderHoldingItIsTaken) {
    UseProgramFilesFolders();
    InstallIn(platform.Folders[1]);
    form.Form_Load();
    ExpectReady(installedPaths[1]);
    EXPECT_TRUE(txtDatabaseFile.Text().ends_with("\\dbcalndr.mdb")) << txtDatabaseFile.Text();
    EXPECT_TRUE(box.Shown.empty());

    // The 32-bit programs' folder comes first.
    InstallIn(platform.Folders[0]);
    form.Form_Load();
    ExpectReady(installedPaths[0]);
}

TEST_F(frmMainTest, TheDefaultDatabaseWinsOverTheProgramFilesFolders) {
    UseProgramFilesFolders();
    InstallIn(platform.Folders[0]);
    InstallDefaultDatabase();
    form.Form_Load();
    ExpectReady(defaultPath);
    EXPECT_EQ(platform.Looked, std::vector<std::string>{defaultPath});
}

TEST_F(frmMainTest, WithTheDefaultDatabaseItStartsReadyAndShowsThePathShortened) {
    InstallDefaultDatabase();
    form.Form_Load();
    ExpectReady(defaultPath);
    // 5495 twips at 15 twips a pixel leave 366 pixels: 52 characters of seven pixels.
    EXPECT_LE(SevenPixelsEach(txtDatabaseFile.Text()), 366);
    EXPECT_TRUE(txtDatabaseFile.Text().ends_with("/dbcalndr.mdb")) << txtDatabaseFile.Text();
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

TEST_F(frmMainTest, NextUpdatesTheDatabaseAndFinishCloses) {
    InstallDefaultDatabase();
    form.Form_Load();
    form.cmdButton1_Click();
    EXPECT_TRUE(box.Shown.empty());
    EXPECT_EQ(lblUpdate.Caption(), "Update completed!  Please click Finish to end the update.");
    EXPECT_EQ(cmdButton1.Caption(), "Finish");
    EXPECT_TRUE(cmdButton1.Enabled());
    EXPECT_FALSE(cmdCancel.Enabled());
    EXPECT_EQ(QueryValue(defaultPath, "SELECT COUNT(*) FROM Dates"), "366");
    EXPECT_EQ(platform.Unloads, 0);
    form.cmdButton1_Click();
    EXPECT_EQ(platform.Unloads, 1);
}

TEST_F(frmMainTest, AfterFinishBrowsingArmsAnotherRunWithCancelStillDisabled) {
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

TEST_F(frmMainTest, AFailedOpenLeavesTheFailedStateAndCancelCloses) {
    form.Form_Load();
    dialog.Answer = (dir / "gone.mdb").string();
    form.cmdBrowse_Click();
    form.cmdButton1_Click();
    EXPECT_EQ(lblUpdate.Caption(), "Updating the database...please wait.");
    EXPECT_FALSE(cmdButton1.Enabled());
    EXPECT_TRUE(cmdCancel.Enabled());
    EXPECT_EQ(box.Reports().at(0).Module, "frmMain.OpenDatabase");
    form.cmdCancel_Click();
    EXPECT_EQ(platform.Unloads, 1);
}

TEST_F(frmMainTest, TypingIntoThePathBoxChangesNothing) {
    InstallDefaultDatabase();
    form.Form_Load();
    txtDatabaseFile.SetText("/somewhere/else.mdb");
    form.cmdButton1_Click();
    EXPECT_EQ(form.DatabasePath(), defaultPath);
    EXPECT_EQ(QueryValue(defaultPath, "SELECT COUNT(*) FROM Events"), "72");
}

TEST_F(frmMainTest, ClicksDispatchedDuringTheYieldDoNoHarm) {
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
    EXPECT_EQ(form.DatabasePath(), defaultPath);
    EXPECT_EQ(QueryValue(defaultPath, "SELECT COUNT(*) FROM Events"), "72");
    EXPECT_EQ(events.Yields, 1);
    // The close asked for during the run happens once the run has returned.
    EXPECT_EQ(platform.Unloads, 1);
    EXPECT_FALSE(form.IsRunning());
    EXPECT_TRUE(form.QueryClose());
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
    ASSERT_EQ(box.Reports().size(), 1u);
    EXPECT_EQ(box.Reports()[0].Module, "frmMain.EnableUpdate");
    EXPECT_EQ(box.Reports()[0].Line, 50);
    EXPECT_EQ(lblUpdate.Caption(), ReadyText());
    EXPECT_EQ(txtDatabaseFile.Text(), "previous");
    EXPECT_FALSE(cmdButton1.Enabled());
}

}  // namespace
}  // namespace almanoria
