#pragma once

// A headless frmMain for driving the update run on a real calendar file.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/basDatabase.hpp"
#include "testing/support/TestSupport.hpp"
#include "update/UpdateRun.hpp"
#include "window/HeadlessControls.hpp"

namespace almanoria::testing {

class RecordingObserver final : public StatementObserver {
  public:
    void OnStatement(std::string_view statement) override { Seen.emplace_back(statement); }
    std::vector<std::string> Seen;
};

// Runs the update on the engine that makeFactory gives, the build's own by default.
template <EngineFactory (*makeFactory)()>
class BasicUpdateFixture : public ::testing::Test {
  protected:
    // Presses "Next >" as the window does: the button is disabled, then the run starts.
    void PressNext() {
        cmdButton1.SetEnabled(false);
        run.Update();
    }

    TempDir dir;
    RecordingMessageBox box;
    FixedClock clock;
    basErrorHandler errors{box, clock, {"Almanoria Desktop Calendar", dir.Path(), "AlmUpdate"}};
    RecordingObserver observer;
    basDatabase database{errors, makeFactory(), &observer};
    HeadlessLabel lblUpdate;
    HeadlessButton cmdButton1{"Next >"};
    HeadlessButton cmdCancel{"Cancel"};
    HeadlessEventPump events;
    std::string mDatabasePath;
    UpdateRun run{database, errors, {lblUpdate, cmdButton1, cmdCancel, events}, mDatabasePath};
};

using UpdateFixture = BasicUpdateFixture<DefaultEngineFactory>;

}  // namespace almanoria::testing
