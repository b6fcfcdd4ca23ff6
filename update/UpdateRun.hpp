#pragma once

#include <string>

#include "database/basDatabase.hpp"
#include "errors/basErrorHandler.hpp"
#include "window/Controls.hpp"
#include "window/FormDesign.hpp"
#include "yeardata/basUpdate.hpp"

namespace almanoria {

// The controls of frmMain that the update run changes, and the message loop of its one yield.
struct UpdateControls {
    Label& lblUpdate;
    CommandButton& cmdButton1;
    CommandButton& cmdCancel;
    EventPump& events;
};

// The update run and its two passes. In the program's own division these are procedures of
// frmMain, so they report under "frmMain."; they are kept apart from the window's controls.
class UpdateRun {
  public:
    // databasePath is frmMain's mDatabasePath, read when the run opens the database; year is
    // the one whose records the run writes.
    UpdateRun(basDatabase& database, basErrorHandler& errors, UpdateControls controls,
              const std::string& databasePath, int year = kStoredYear);

    void Update();
    Boolean OpenDatabase(std::string path);
    Boolean InitDates(const YearTable& yearTable);
    void AddAllDayEvents(const YearTable& yearTable);

  private:
    basDatabase& mDatabase;
    basErrorHandler& mErrors;
    UpdateControls mControls;
    const std::string& mDatabasePath;
    int mYear;
};

}  // namespace almanoria
