#pragma once

// A real QtFrmMain on real calendar files, with the default path inside a temporary folder
// and a recording file dialog that answers what the test says.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "database/basDatabase.hpp"
#include "testing/support/CalendarFiles.hpp"
#include "testing/support/RecordingDialog.hpp"
#include "tools/calendardb/CalendarDatabase.hpp"
#include "window/qt/QtFrmMain.hpp"

namespace almanoria::testing {

class WindowFixture : public ::testing::Test {
  protected:
    void SetUp() override { defaultPath = DefaultDatabasePath(); }
    void TearDown() override { window.reset(); }

    // A default path too long for the path box, even at 120 dots per inch.
    void UseDeepDataFolder() {
        const std::filesystem::path deep = dir / "a rather long folder name" / "and another one" /
                                           "and a third folder, to be sure" / "calendars";
        std::filesystem::create_directories(deep);
        SetEnvironment("XDG_DATA_HOME", deep.string().c_str());
        defaultPath = DefaultDatabasePath();
    }
    void InstallDefaultDatabase() {
        std::filesystem::create_directories(std::filesystem::path(defaultPath).parent_path());
        CreateCalendarDatabase(defaultPath);
    }

    // Builds the window, which runs Form_Load, and shows it.
    QtFrmMain& Open(double twipsPerPixel = 15) {
        window = std::make_unique<QtFrmMain>(errors, database, kStoredYear, twipsPerPixel, &dialog);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }

    template <typename Widget>
    Widget* Control(const char* name) const {
        Widget* widget = window->findChild<Widget*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLabel* lblUpdate() const { return Control<QLabel>("lblUpdate"); }
    QLineEdit* txtDatabaseFile() const { return Control<QLineEdit>("txtDatabaseFile"); }
    QPushButton* cmdBrowse() const { return Control<QPushButton>("cmdBrowse"); }
    QPushButton* cmdCancel() const { return Control<QPushButton>("cmdCancel"); }
    QPushButton* cmdButton1() const { return Control<QPushButton>("cmdButton1"); }

    static void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Runs what a test gives it once, at the run's first statement: while the run holds the
    // thread, past its one yield.
    struct DuringTheRun final : StatementObserver {
        std::function<void()> Once;
        void OnStatement(std::string_view) override {
            if (Once) std::exchange(Once, {})();
        }
    };

    TempDir dir;
    // Off Windows the default path lies in the user's data folder, here the test's own.
    EnvironmentScope dataHome{"XDG_DATA_HOME", dir.Path().string().c_str()};
    std::string defaultPath;
    RecordingMessageBox box;
    FixedClock clock;
    basErrorHandler errors{
        box, clock, {"Almanoria Desktop Calendar", dir.Path(), "AlmanoriaYear2012"}};
    DuringTheRun duringTheRun;
    basDatabase database{errors, ObservedEngines(DefaultEngineFactory(), &duringTheRun)};
    RecordingDialog dialog;
    std::unique_ptr<QtFrmMain> window;
};

}  // namespace almanoria::testing
