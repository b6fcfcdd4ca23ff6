// The platform services on Qt: the file dialog, the message box, the file test, the path
// display in the window's font and the font that fits the layout.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "platform/Unicode.hpp"
#include "testing/support/TestSupport.hpp"
#include "window/basCommonFunctions.hpp"
#include "window/qt/DesignFont.hpp"
#include "window/qt/QtFormServices.hpp"

namespace almanoria {
namespace {

using testing::TempDir;
using testing::WriteFile;

// Runs act on the modal dialog once its loop has started.
template <typename Dialog>
void WhenModal(std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, [act] {
        auto* modal = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(modal, nullptr);
        act(*modal);
    });
}

CommonDialog& SetUpAsTheBrowseButtonDoes(CommonDialog& dialog, const std::string& initDir) {
    dialog.DialogTitle = "Select Almanoria Database File";
    dialog.InitDir = initDir;
    dialog.CancelError = false;
    dialog.DefaultExt = ".mdb";
    dialog.Filter = "Database Files (*.mdb)|*.mdb";
    dialog.Flags = OFN_EXPLORER + OFN_FILEMUSTEXIST;
    return dialog;
}

TEST(NameFilters, TurnLabelAndPatternPairsIntoQtsForm) {
    EXPECT_EQ(NameFilters("Database Files (*.mdb)|*.mdb"), QStringList{"Database Files (*.mdb)"});
    EXPECT_EQ(NameFilters("Text|*.txt;*.log|All Files (*.*)|*.*"),
              QStringList({"Text (*.txt *.log)", "All Files (*.*)"}));
    EXPECT_TRUE(NameFilters("").isEmpty());
}

TEST(QtCommonDialog, TakesTitleFolderFilterSuffixAndTheMustExistRule) {
    TempDir folder;
    QWidget owner;
    QtCommonDialog properties(owner);
    SetUpAsTheBrowseButtonDoes(properties, folder.Path().string());
    QFileDialog fileDialog;
    ConfigureFileDialog(fileDialog, properties);
    EXPECT_EQ(fileDialog.windowTitle(), "Select Almanoria Database File");
    EXPECT_EQ(fileDialog.directory().absolutePath().toStdString(), folder.Path().string());
    EXPECT_EQ(fileDialog.nameFilters(), QStringList{"Database Files (*.mdb)"});
    EXPECT_EQ(fileDialog.defaultSuffix(), "mdb");
    EXPECT_EQ(fileDialog.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(fileDialog.acceptMode(), QFileDialog::AcceptOpen);

    properties.Flags = OFN_EXPLORER;
    ConfigureFileDialog(fileDialog, properties);
    EXPECT_EQ(fileDialog.fileMode(), QFileDialog::AnyFile);
}

// The chosen file's path comes back whole, also through folders of non-ASCII names.
TEST(QtCommonDialog, ReportsTheChosenFileAndNothingAfterACancel) {
    TempDir folder;
    const std::filesystem::path chosen =
        folder / "Zo\u00EB" / "\u03A9\u03BC\u03AD\u03B3\u03B1 \u65E5\u672C" / "mine.mdb";
    std::filesystem::create_directories(chosen.parent_path());
    WriteFile(chosen, "x");
    QWidget owner;
    QtCommonDialog dialog(owner);
    SetUpAsTheBrowseButtonDoes(dialog, folder.Path().string());

    bool modal = false;
    QString title;
    WhenModal<QFileDialog>([&](QFileDialog& shown) {
        modal = shown.isModal();
        title = shown.windowTitle();
        shown.selectFile(QString::fromStdString(chosen.string()));
        // accept() as the dialog's OK button calls it: the file must exist.
        static_cast<QDialog&>(shown).accept();
    });
    dialog.ShowOpen();
    EXPECT_TRUE(modal);
    EXPECT_EQ(title, "Select Almanoria Database File");
    EXPECT_EQ(dialog.FileName, chosen.string());

    WhenModal<QFileDialog>([](QFileDialog& shown) { shown.reject(); });
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName, "");
}

TEST(QtMessageBox, IsModalWithTheInformationIconTheTitleAndOneOkButton) {
    QtMessageBox service;
    struct Seen {
        QMessageBox::Icon Icon = QMessageBox::NoIcon;
        QString Title;
        QString Text;
        qsizetype Buttons = 0;
        bool Ok = false;
        bool Modal = false;
    } seen;
    WhenModal<QMessageBox>([&](QMessageBox& box) {
        seen = {box.icon(),
                box.windowTitle(),
                box.text(),
                box.buttons().size(),
                box.button(QMessageBox::Ok) != nullptr,
                box.isModal()};
        box.button(QMessageBox::Ok)->click();
    });
    service.ShowInformation("Module: \t\tfrmMain.Update\r\nLine Number: \t40\r\n<b>",
                            "Application Error");
    EXPECT_EQ(seen.Icon, QMessageBox::Information);
    EXPECT_EQ(seen.Title, "Application Error");
    EXPECT_EQ(seen.Text, "Module: \t\tfrmMain.Update\nLine Number: \t40\n<b>");
    EXPECT_EQ(seen.Buttons, 1);
    EXPECT_TRUE(seen.Ok);
    EXPECT_TRUE(seen.Modal);
}

TEST(QtFormPlatform, CountsOnlyPlainVisibleFilesAndKnowsTheProgramsFolder) {
    TempDir folder;
    WriteFile(folder / "dbcalndr.mdb", "x");
    WriteFile(folder / ".dbcalndr.mdb", "x");
    std::filesystem::create_directories(folder / "folder.mdb");
    QWidget window;
    const QtFormPlatform platform(window);
    EXPECT_TRUE(platform.FileExists((folder / "dbcalndr.mdb").string()));
    EXPECT_FALSE(platform.FileExists((folder / ".dbcalndr.mdb").string()));
    EXPECT_FALSE(platform.FileExists((folder / "folder.mdb").string()));
    EXPECT_FALSE(platform.FileExists((folder / "missing.mdb").string()));
    EXPECT_FALSE(platform.FileExists(""));
    EXPECT_EQ(platform.ProgramDirectory(), QCoreApplication::applicationDirPath().toStdString());
}

class CompactPathInTheWindowFont : public ::testing::Test {
  protected:
    int Width(const std::string& text) const {
        return QFontMetrics(window.font()).horizontalAdvance(QString::fromStdString(text));
    }
    QWidget window;
    const std::string longPath =
        "/home/ann/.local/share/Almanoria Desktop Calendar/backups/2011/december/before the "
        "update/dbcalndr.mdb";
};

TEST_F(CompactPathInTheWindowFont, APathThatFitsAndAnEmptyPathComeBackUnchanged) {
    QtDeviceContext context(window, 15);
    EXPECT_EQ(CompactPath("/home/ann/dbcalndr.mdb", 5495, context), "/home/ann/dbcalndr.mdb");
    EXPECT_EQ(CompactPath("", 5495, context), "");
}

TEST_F(CompactPathInTheWindowFont, ALongPathIsShortenedToFitAndKeepsItsStartAndFileName) {
    ASSERT_GT(Width(longPath), 457);
    QtDeviceContext context(window, 15);
    const std::string shown = CompactPath(longPath, 5495, context);
    EXPECT_LE(Width(shown), 366) << shown;
    EXPECT_LT(Utf16Length(shown), Utf16Length(longPath));
    ASSERT_TRUE(shown.ends_with(".../dbcalndr.mdb")) << shown;
    const std::string start = shown.substr(0, shown.size() - 16);
    EXPECT_TRUE(longPath.starts_with(start)) << shown;
    EXPECT_GT(start.size(), std::string("/home/ann/").size()) << shown;
}

TEST_F(CompactPathInTheWindowFont, TheResolutionChangesTheShortening) {
    QtDeviceContext at96(window, 15);
    QtDeviceContext at120(window, 12);
    const std::string narrow = CompactPath(longPath, 5495, at96);
    const std::string wide = CompactPath(longPath, 5495, at120);
    EXPECT_LE(Width(narrow), 366) << narrow;
    EXPECT_LE(Width(wide), 457) << wide;
    EXPECT_GT(Width(wide), 366) << wide;
    EXPECT_NE(narrow, wide);
}

TEST_F(CompactPathInTheWindowFont, TheBufferKeepsItsLengthWithAZeroAfterTheShortenedPath) {
    QtDeviceContext context(window, 15);
    std::string buffer = longPath;
    context.CompactPathInPlace(buffer, 200);
    ASSERT_EQ(buffer.size(), longPath.size());
    const std::size_t zero = buffer.find('\0');
    ASSERT_NE(zero, std::string::npos);
    EXPECT_LE(Width(buffer.substr(0, zero)), 200);
    // Past the zero the old path is still there.
    EXPECT_EQ(buffer.substr(zero + 1), longPath.substr(zero + 1));

    std::string fits = "/a/b.mdb";
    context.CompactPathInPlace(fits, 200);
    EXPECT_EQ(fits, "/a/b.mdb");
}

// Giving "dar" way to "..." keeps the path's length, so a width between the two drawings gets
// a shortened path of the path's own length, with its zero just past the buffer.
TEST_F(CompactPathInTheWindowFont, AShortenedPathAsLongAsThePathIsShownShortened) {
    const std::string path = "/srv/Almanoria Desktop Calendar/dbcalndr.mdb";
    const std::string shortened = "/srv/Almanoria Desktop Calen.../dbcalndr.mdb";
    if (Width(shortened) >= Width(path)) {
        GTEST_SKIP() << "this font draws \"...\" no narrower than \"dar\"";
    }
    QtDeviceContext context(window, 15);
    for (int pixels = Width(shortened); pixels < Width(path); ++pixels) {
        const std::string shown = CompactPath(path, pixels * 15, context);
        EXPECT_EQ(shown, shortened) << "at " << pixels << " pixels";
        EXPECT_LE(Width(shown), pixels) << shown;
    }
}

class FontThatFitsTest : public ::testing::Test {
  protected:
    QFont Default() const {
        QFont font = QApplication::font();
        font.setPointSizeF(9);
        return font;
    }
    const QString message = QStringLiteral(
        "The Almanoria Calendar Update will update your Almanoria Calendar database. \n\n"
        "Click the Browse button to find the database file yourself.");
};

TEST_F(FontThatFitsTest, TakesTheLargestSizeAtWhichTheTextsFit) {
    QFont larger = Default();
    const int wide =
        QFontMetrics(larger).horizontalAdvance(QStringLiteral("Almanoria database file:"));
    const std::vector<TextRoom> texts{{"Almanoria &database file:", {wide * 3 / 4, 40}},
                                      {message, {300, 200}, true}};
    const QFont font = FontThatFits(Default(), texts);
    EXPECT_LT(font.pointSizeF(), 9);
    EXPECT_TRUE(TextsFit(font, texts));
    larger.setPointSizeF(font.pointSizeF() + 0.5);
    EXPECT_FALSE(TextsFit(larger, texts));
    EXPECT_EQ(font.family(), Default().family());
}

TEST_F(FontThatFitsTest, KeepsTheDefaultSizeWhenItFitsAndTheSmallestWhenNothingDoes) {
    EXPECT_DOUBLE_EQ(FontThatFits(Default(), {{message, {2000, 400}, true}}).pointSizeF(), 9);
    EXPECT_DOUBLE_EQ(FontThatFits(Default(), {{message, {10, 5}, true}}).pointSizeF(), 6);
}

}  // namespace
}  // namespace almanoria
