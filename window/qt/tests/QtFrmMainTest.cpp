// The window's states and transitions, driven through its real widgets.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

#include "window/qt/tests/WindowFixture.hpp"

namespace almanoria {
namespace {

using testing::ExpectWholeYear;
using testing::MakeCalendar;
using testing::QueryValue;
using testing::ReadFile;
using testing::WriteFile;

constexpr const char* kWait = "Updating the database...please wait.";
constexpr const char* kCompleted = "Update completed!  Please click Finish to end the update.";

QString Shown(const std::string& caption) {
    return QString::fromStdString(caption).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

class QtFrmMainTest : public testing::WindowFixture {
  protected:
    // The texts and buttons the user sees; Browse can always be pressed.
    void ExpectWindow(const QString& label, const char* next, bool nextEnabled,
                      bool cancelEnabled) {
        EXPECT_EQ(lblUpdate()->text(), label);
        EXPECT_EQ(cmdButton1()->text(), next);
        EXPECT_EQ(cmdButton1()->isEnabled(), nextEnabled);
        EXPECT_EQ(cmdCancel()->isEnabled(), cancelEnabled);
        EXPECT_TRUE(cmdBrowse()->isEnabled());
    }
    void ExpectNotFound() {
        EXPECT_EQ(txtDatabaseFile()->text(), "");
        ExpectWindow(Shown(NotFoundText()), "Next >", false, true);
    }
    void ExpectReady(const std::string& path, bool cancelEnabled = true) {
        EXPECT_TRUE(testing::ShowsPath(txtDatabaseFile()->text().toStdString(), path));
        ExpectWindow(Shown(ReadyText()), "Next >", true, cancelEnabled);
    }
    void ExpectFinished() { ExpectWindow(kCompleted, "Finish", true, false); }
    void ExpectFailed() { ExpectWindow(kWait, "Next >", false, true); }
    void Browse(const std::string& answer) {
        dialog.Answer = answer;
        Click(cmdBrowse());
    }
    // Opens the window as the one that takes the keyboard.
    void OpenActive(double twipsPerPixel = 15) {
        Open(twipsPerPixel);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // As the keyboard delivers a key: to the active window, through its shortcuts to the
    // control with the focus.
    static void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(static_cast<QWidget*>(nullptr), key, modifiers);
    }
    static void Type(const std::string& text) {
        QTest::keyClicks(static_cast<QWidget*>(nullptr), QString::fromStdString(text));
    }
};

TEST_F(QtFrmMainTest, WithoutTheDefaultDatabaseItStartsNotFound) {
    Open();
    ExpectNotFound();
    EXPECT_TRUE(box.Shown.empty());
    // The design caption never shows.
    EXPECT_NE(lblUpdate()->text(), "Label1");
}

TEST_F(QtFrmMainTest, WithTheDefaultDatabaseItStartsReadyWithThePathShortenedToFit) {
    UseDeepDataFolder();
    InstallDefaultDatabase();
    Open();
    ExpectReady(defaultPath);
    const QString shown = txtDatabaseFile()->text();
    ASSERT_GT(QFontMetrics(window->font()).horizontalAdvance(QString::fromStdString(defaultPath)),
              366);
    EXPECT_LE(QFontMetrics(window->font()).horizontalAdvance(shown), 366) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("..."))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("/dbcalndr.mdb"))) << shown.toStdString();
    EXPECT_TRUE(box.Shown.empty());
}

TEST_F(QtFrmMainTest, TheLabelKeepsItsCaptionAndShowsTheLineBreaksAndTheEmptyLine) {
    InstallDefaultDatabase();
    Open();
    EXPECT_TRUE(testing::ShowsPath(txtDatabaseFile()->text().toStdString(), defaultPath));
    EXPECT_TRUE(lblUpdate()->wordWrap());
    const QStringList lines = lblUpdate()->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0],
              "The Almanoria Calendar Update will update your Almanoria Calendar database. ");
    EXPECT_EQ(lines[1], "Please click Next to begin the update.");
    EXPECT_EQ(lines[2], "");
    EXPECT_FALSE(lblUpdate()->text().contains(QLatin1Char('\r')));
}

TEST_F(QtFrmMainTest, BrowsingFromNotFoundSetsTheDialogUpAndOnlyANameArmsTheRun) {
    Open();
    Browse("");
    ExpectNotFound();
    ASSERT_EQ(dialog.Opened, 1);
    EXPECT_EQ(dialog.SeenTitle, "Select Almanoria Database File");
    EXPECT_EQ(dialog.SeenInitDir, QCoreApplication::applicationDirPath().toStdString());
    EXPECT_EQ(dialog.SeenFilter, "Database Files (*.mdb)|*.mdb");
    EXPECT_EQ(dialog.SeenDefaultExt, ".mdb");
    EXPECT_EQ(dialog.SeenFlags, 0x81000);

    const std::filesystem::path chosen = MakeCalendar(dir, "chosen.mdb");
    Browse(chosen.string());
    ExpectReady(chosen.string());
    // A path that fits is shown whole.
    ASSERT_LE(QFontMetrics(window->font()).horizontalAdvance(QString::fromStdString(chosen)), 366);
    EXPECT_EQ(txtDatabaseFile()->text().toStdString(), chosen.string());

    // Cancelling now keeps the file chosen before.
    Browse("");
    ExpectReady(chosen.string());
    EXPECT_EQ(dialog.Opened, 3);
}

TEST_F(QtFrmMainTest, NextRunsTheUpdateFinishClosesAndBrowsingAfterwardsArmsAnotherRun) {
    InstallDefaultDatabase();
    Open();
    Click(cmdButton1());
    EXPECT_TRUE(box.Shown.empty());
    ExpectFinished();
    ExpectWholeYear(defaultPath);

    Browse("");
    ExpectFinished();

    const std::filesystem::path other = MakeCalendar(dir, "other.mdb");
    Browse(other.string());
    ExpectReady(other.string(), false);
    Click(cmdButton1());
    ExpectFinished();
    ExpectWholeYear(other);

    EXPECT_TRUE(window->isVisible());
    Click(cmdButton1());
    EXPECT_FALSE(window->isVisible());
}

// Some desktops (KDE's platform integration) put "&" accelerators into the texts of widgets;
// the step is the caption the program set, not what the widget now says.
TEST_F(QtFrmMainTest, ButtonTextsTheDesktopChangedStillDriveTheWizard) {
    InstallDefaultDatabase();
    Open();
    cmdButton1()->setText(QStringLiteral("&Next >"));
    Click(cmdButton1());
    EXPECT_TRUE(box.Shown.empty());
    ExpectFinished();
    ExpectWholeYear(defaultPath);

    cmdButton1()->setText(QStringLiteral("&Finish"));
    Click(cmdButton1());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(QtFrmMainTest, AFailedOpenLeavesTheFailedStateAndTheFileUntouched) {
    const std::filesystem::path junk = dir / "notes.mdb";
    WriteFile(junk, "not a calendar");
    Open();
    Browse(junk.string());
    Click(cmdButton1());
    ExpectFailed();
    ASSERT_EQ(box.Shown.size(), 1u);
    EXPECT_EQ(box.Shown[0].Title, "Application Error");
    EXPECT_EQ(box.Reports()[0].Module, "frmMain.OpenDatabase");
    EXPECT_EQ(box.Reports()[0].Line, 40);
    EXPECT_EQ(ReadFile(junk), "not a calendar");
    EXPECT_TRUE(testing::ShowsPath(txtDatabaseFile()->text().toStdString(), junk.string()));

    // A cancelled browse keeps the failed state; a good file re-arms the run.
    Browse("");
    ExpectFailed();
    const std::filesystem::path good = MakeCalendar(dir, "good.mdb");
    Browse(good.string());
    ExpectReady(good.string());
    Click(cmdButton1());
    ExpectFinished();
    ExpectWholeYear(good);
    EXPECT_EQ(box.Shown.size(), 1u);
}

TEST_F(QtFrmMainTest, CancelClosesTheWindowInEachStateItIsEnabledIn) {
    Open();
    ExpectNotFound();
    Click(cmdCancel());
    EXPECT_FALSE(window->isVisible());

    InstallDefaultDatabase();
    Open();
    ExpectReady(defaultPath);
    Click(cmdCancel());
    EXPECT_FALSE(window->isVisible());

    const std::filesystem::path junk = dir / "junk.mdb";
    WriteFile(junk, "junk");
    Open();
    Browse(junk.string());
    Click(cmdButton1());
    ExpectFailed();
    Click(cmdCancel());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(QtFrmMainTest, TheCloseBoxClosesTheWindowWhenNoRunIsUnderWay) {
    InstallDefaultDatabase();
    Open();
    // What the window system sends when the title bar's close box is pressed.
    QCoreApplication::postEvent(window->windowHandle(), new QCloseEvent);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(QueryValue(defaultPath, "SELECT COUNT(*) FROM Dates"), "0");
}

// The keyboard alone, from the path box on: Tab walks Browse, Cancel and Next, and Space
// presses each. The box takes no typing, so a path typed there cannot seem to be used.
TEST_F(QtFrmMainTest, FromThePathBoxTabAndSpacePressBrowseCancelAndNextAndTheBoxTakesNoTyping) {
    InstallDefaultDatabase();
    const std::string untouched = ReadFile(defaultPath);
    const std::filesystem::path typed = MakeCalendar(dir, "typed.mdb");
    const std::string typedBytes = ReadFile(typed);

    // Alt+D, Tab, Tab: Cancel, which Space presses.
    OpenActive();
    Key(Qt::Key_D, Qt::AltModifier);
    Key(Qt::Key_Tab);
    Key(Qt::Key_Tab);
    Key(Qt::Key_Space);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(dialog.Opened, 0);
    EXPECT_EQ(ReadFile(defaultPath), untouched);

    OpenActive();
    const QString shown = txtDatabaseFile()->text();
    Key(Qt::Key_D, Qt::AltModifier);
    ASSERT_TRUE(txtDatabaseFile()->hasFocus());
    Key(Qt::Key_A, Qt::ControlModifier);
    Type(typed.string());
    Key(Qt::Key_Backspace);
    EXPECT_EQ(txtDatabaseFile()->text(), shown);
    EXPECT_EQ(txtDatabaseFile()->selectedText(), shown);
    // Tab: Browse. The dialog is cancelled, which leaves the ready state and the box as
    // they were.
    Key(Qt::Key_Tab);
    Key(Qt::Key_Space);
    EXPECT_EQ(dialog.Opened, 1);
    ExpectReady(defaultPath);
    EXPECT_EQ(txtDatabaseFile()->text(), shown);
    // Tab, Tab: past Cancel to Next, which runs the update on the default database.
    Key(Qt::Key_Tab);
    Key(Qt::Key_Tab);
    Key(Qt::Key_Space);
    EXPECT_TRUE(box.Shown.empty());
    ExpectFinished();
    EXPECT_EQ(dialog.Opened, 1);
    ExpectWholeYear(defaultPath);
    EXPECT_EQ(ReadFile(typed), typedBytes);
}

// As in every wizard: the focus starts on the next step, Enter presses the default button from
// anywhere but another button, the focus lands on Finish, which tells the completion, and
// Escape cancels while Cancel can be pressed.
TEST_F(QtFrmMainTest, EnterEscapeAndTheFocusGoAsInEveryWizard) {
    OpenActive();
    EXPECT_TRUE(cmdBrowse()->hasFocus());
    Key(Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());

    InstallDefaultDatabase();
    OpenActive();
    EXPECT_TRUE(cmdButton1()->hasFocus());
    EXPECT_TRUE(cmdButton1()->accessibleDescription().isEmpty());
    // Enter on another button presses that one.
    cmdBrowse()->setFocus();
    Key(Qt::Key_Return);
    EXPECT_EQ(dialog.Opened, 1);
    Key(Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(cmdButton1()->isDefault());
    Key(Qt::Key_Return);
    EXPECT_TRUE(box.Shown.empty());
    ExpectFinished();
    ExpectWholeYear(defaultPath);
    EXPECT_TRUE(cmdButton1()->hasFocus());
    EXPECT_TRUE(cmdButton1()->isDefault());
    EXPECT_EQ(cmdButton1()->accessibleDescription(), kCompleted);
    // Cancel is disabled now, and so is Escape.
    Key(Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());

    // Browsing to another calendar makes the button Next again, which tells nothing more.
    const std::filesystem::path other = MakeCalendar(dir, "other.mdb");
    Browse(other.string());
    EXPECT_TRUE(cmdButton1()->accessibleDescription().isEmpty());

    // A failed run leaves the focus on Browse, to pick another file.
    OpenActive();
    const std::filesystem::path junk = dir / "junk.mdb";
    WriteFile(junk, "junk");
    Browse(junk.string());
    Key(Qt::Key_D, Qt::AltModifier);
    Key(Qt::Key_Return);
    ExpectFailed();
    EXPECT_TRUE(cmdBrowse()->hasFocus());
    Key(Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

// Alt+B opens the dialog; the file picked there, in folders of Latin, Greek and Japanese
// names, shows whole as it is, and Enter on Next updates that file and no other.
TEST_F(QtFrmMainTest, AltBPicksADatabaseInFoldersOfNonAsciiNamesWhichIsShownAndUpdated) {
    InstallDefaultDatabase();
    const std::string untouched = ReadFile(defaultPath);
    const std::filesystem::path folder =
        dir / "Zo\u00EB" / "\u03A9\u03BC\u03AD\u03B3\u03B1 \u65E5\u672C";
    std::filesystem::create_directories(folder);
    const std::filesystem::path chosen = folder / "dbcalndr.mdb";
    CreateCalendarDatabase(chosen);
    dialog.Answer = chosen.string();

    OpenActive(12);
    ASSERT_LE(QFontMetrics(window->font()).horizontalAdvance(QString::fromStdString(chosen)), 457);
    cmdCancel()->setFocus();
    Key(Qt::Key_B, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([this] { return dialog.Opened == 1; }));
    ExpectReady(chosen.string());
    EXPECT_EQ(txtDatabaseFile()->text(), QString::fromStdString(chosen.string()));

    // Alt+D and three Tabs: Next.
    Key(Qt::Key_D, Qt::AltModifier);
    Key(Qt::Key_Tab);
    Key(Qt::Key_Tab);
    Key(Qt::Key_Tab);
    Key(Qt::Key_Return);
    EXPECT_TRUE(box.Shown.empty());
    ExpectFinished();
    ExpectWholeYear(chosen);
    EXPECT_EQ(ReadFile(defaultPath), untouched);
}

// An impatient user: Return twice in quick succession on Next, and a click on the button, the
// second Return and the click coming while the run holds the thread. They do not press Finish
// unseen; a key the user presses after the run does.
TEST_F(QtFrmMainTest, ReturnTwiceInQuickSuccessionLeavesTheCompletionForFinish) {
    InstallDefaultDatabase();
    OpenActive();
    QWindow* const shown = window->windowHandle();
    const auto post = [shown](QEvent* event) { QCoreApplication::postEvent(shown, event); };
    QWidget* focusDuringTheRun = cmdButton1();
    duringTheRun.Once = [&] {
        // Not on the path box, which a screen reader would read out before an error box.
        focusDuringTheRun = QApplication::focusWidget();
        post(new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
        post(new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier));
        const QPointF at = cmdButton1()->geometry().center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            post(new QMouseEvent(type, at, shown->mapToGlobal(at), Qt::LeftButton,
                                 type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                 Qt::NoModifier));
        }
    };
    Key(Qt::Key_Return);
    // Nor does a copy of a Return that a screen reader's bridge hands on just after the run,
    // not coming from the window system.
    post(new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    QCoreApplication::processEvents();
    ASSERT_FALSE(duringTheRun.Once);
    EXPECT_EQ(focusDuringTheRun, nullptr);
    ASSERT_TRUE(window->isVisible());
    ExpectFinished();
    ExpectWholeYear(defaultPath);
    EXPECT_TRUE(cmdButton1()->hasFocus());
    Key(Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(QtFrmMainTest, ClicksAndACloseDispatchedDuringTheYieldWaitForTheRun) {
    InstallDefaultDatabase();
    Open();
    const std::filesystem::path other = MakeCalendar(dir, "other.mdb");
    dialog.Answer = other.string();

    // Posted now, dispatched by the run's one yield.
    QPushButton* const cancel = cmdCancel();
    QPushButton* const browse = cmdBrowse();
    QMetaObject::invokeMethod(
        cancel, [cancel] { Click(cancel); }, Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        browse, [browse] { Click(browse); }, Qt::QueuedConnection);
    QCoreApplication::postEvent(window->windowHandle(), new QCloseEvent);
    struct DuringTheYield {
        bool Seen = false;
        bool Visible = false;
        QString Caption;
    } during;
    QMetaObject::invokeMethod(
        window.get(),
        [&] {
            during = {true, window->isVisible(), lblUpdate()->text()};
        },
        Qt::QueuedConnection);

    Click(cmdButton1());

    ASSERT_TRUE(during.Seen);
    EXPECT_TRUE(during.Visible);
    EXPECT_EQ(during.Caption, kWait);
    EXPECT_EQ(dialog.Opened, 0);
    ExpectWholeYear(defaultPath);
    EXPECT_EQ(QueryValue(other, "SELECT COUNT(*) FROM Dates"), "0");
    EXPECT_TRUE(box.Shown.empty());
    // The close asked for during the run came once the run had returned.
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(lblUpdate()->text(), kCompleted);
}

}  // namespace
}  // namespace almanoria
