#pragma once

// A headless frmMain with fakes for its dialog, device context and platform.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/Unicode.hpp"
#include "testing/support/RecordingDialog.hpp"
#include "testing/support/UpdateFixture.hpp"
#include "window/basCommonFunctions.hpp"
#include "window/frmMain.hpp"

namespace almanoria::testing {

// Every character is seven pixels wide.
inline int SevenPixelsEach(std::string_view text) {
    return static_cast<int>(Utf16Length(text)) * 7;
}

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

// Finds the plain files on disk and those a test names in Present, such as the Windows
// default path, which no test may create.
class FakePlatform final : public FormPlatform {
  public:
    bool FileExists(const std::string& path) const override {
        Looked.push_back(path);
        return Present.contains(path) || std::filesystem::is_regular_file(path);
    }
    std::string ProgramDirectory() const override { return "/opt/almanoria"; }
    std::vector<std::string> ProgramFilesFolders() const override { return Folders; }
    void Unload() override { ++Unloads; }
    std::set<std::string> Present;
    std::vector<std::string> Folders;
    mutable std::vector<std::string> Looked;  // every path tested, in order
    int Unloads = 0;
};

class frmMainTest : public UpdateFixture {
  protected:
    // Two Program Files folders as Windows names them, the 32-bit programs' first, and the
    // calendar's path in each, as the window looks for it.
    void UseProgramFilesFolders() {
        platform.Folders = {"C:\\Program Files (x86)", "D:\\Programme"};
        for (const std::string& folder : platform.Folders)
            installedPaths.push_back(folder + "\\Almanoria Desktop Calendar\\dbcalndr.mdb");
    }
    void ExpectReady(const std::string& path) {
        EXPECT_EQ(lblUpdate.Caption(), ReadyText());
        EXPECT_TRUE(ShowsPath(txtDatabaseFile.Text(), path));
        EXPECT_EQ(cmdButton1.Caption(), "Next >");
        EXPECT_TRUE(cmdButton1.Enabled());
    }
    void ExpectNotFound() {
        EXPECT_EQ(lblUpdate.Caption(), NotFoundText());
        EXPECT_EQ(txtDatabaseFile.Text(), "");
        EXPECT_FALSE(cmdButton1.Enabled());
    }

    // Off Windows the default path lies in the user's data folder, here the test's own.
    EnvironmentScope dataHome{"XDG_DATA_HOME", dir.Path().string().c_str()};
    std::string defaultPath = DefaultDatabasePath();
    std::vector<std::string> installedPaths;
    HeadlessLabel lblDatabaseFile;
    HeadlessTextBox txtDatabaseFile{5595};
    HeadlessButton cmdBrowse{"&Browse..."};
    RecordingDialog dialog;
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

}  // namespace almanoria::testing
