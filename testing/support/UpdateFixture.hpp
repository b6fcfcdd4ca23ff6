#pragma once

// frmMain without a window, for driving the update run on a calendar file: HeadlessUpdate can
// be made any number of times in one test (and in a child process, and by the benchmark, which
// asserts nothing); UpdateFixture is one of them as a test fixture with a folder of its own.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "database/basDatabase.hpp"
#include "testing/support/HeadlessControls.hpp"
#include "testing/support/TestSupport.hpp"
#include "update/UpdateRun.hpp"

namespace almanoria::testing {

// The update run on a path, with its own box, clock and error handler; the error log goes to
// programFolder. The run reads mDatabasePath when it opens, so a test may set it until then; it
// writes the year given, 2012 unless told.
class HeadlessUpdate {
  public:
    explicit HeadlessUpdate(const std::filesystem::path& programFolder,
                            const std::filesystem::path& file = {},
                            StatementObserver* observer = nullptr,
                            EngineFactory engines = DefaultEngineFactory(), int year = kStoredYear)
        : errors(box, clock, {"Almanoria Desktop Calendar", programFolder, "AlmUpdate"}),
          database(errors, ObservedEngines(std::move(engines), observer)),
          mDatabasePath(file.string()),
          mYear(year) {}
    HeadlessUpdate(const HeadlessUpdate&) = delete;
    HeadlessUpdate& operator=(const HeadlessUpdate&) = delete;

    // Presses "Next >" as the window does: the button is disabled, then the run starts.
    void PressNext() {
        cmdButton1.SetEnabled(false);
        run.Update();
    }

    // The window's texts as the user reads them, not the program's constants.
    bool Finished() const {
        return lblUpdate.Caption() == "Update completed!  Please click Finish to end the update." &&
               cmdButton1.Caption() == "Finish" && cmdButton1.Enabled() && !cmdCancel.Enabled() &&
               database.gConnection == nullptr;
    }
    // Where a failed open or a failed Dates pass leaves the window.
    bool Failed() const {
        return lblUpdate.Caption() == "Updating the database...please wait." &&
               cmdButton1.Caption() == "Next >" && !cmdButton1.Enabled() && cmdCancel.Enabled();
    }
    // Releases a connection that a failed run left open, as the program's end would.
    void ReleaseConnection() { database.gConnection.reset(); }

    std::string FirstBox() const { return box.Shown.empty() ? "" : box.Shown.front().Text; }

    RecordingMessageBox box;
    FixedClock clock;
    basErrorHandler errors;
    basDatabase database;
    HeadlessLabel lblUpdate;
    HeadlessButton cmdButton1{"Next >"};
    HeadlessButton cmdCancel{"Cancel"};
    HeadlessEventPump events;
    std::string mDatabasePath;
    const int mYear;
    UpdateRun run{
        database, errors, {lblUpdate, cmdButton1, cmdCancel, events}, mDatabasePath, mYear};
};

// What a fixture holds before its update is made: the folder it runs in, and every statement.
struct UpdateFixtureFolder {
    TempDir dir;
    RecordingObserver observer;
};

// The update run as a fixture, on the engine that makeFactory gives, the build's own by default.
template <EngineFactory (*makeFactory)()>
class BasicUpdateFixture : public ::testing::Test,
                           protected UpdateFixtureFolder,
                           protected HeadlessUpdate {
  protected:
    BasicUpdateFixture() : HeadlessUpdate(dir.Path(), {}, &observer, makeFactory()) {}
};

using UpdateFixture = BasicUpdateFixture<DefaultEngineFactory>;

}  // namespace almanoria::testing
