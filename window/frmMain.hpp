#pragma once

#include <string>

#include "database/basDatabase.hpp"
#include "errors/basErrorHandler.hpp"
#include "update/UpdateRun.hpp"
#include "window/Controls.hpp"
#include "window/FormDesign.hpp"
#include "window/FormServices.hpp"

namespace almanoria {

// Where the default database is looked for on this platform: the product's folder under
// "C:\Program Files" on Windows; elsewhere the same folder under $XDG_DATA_HOME (or
// ~/.local/share), by the XDG rule of platform/Folders.hpp.
std::string DefaultDatabasePath();
std::string MapDefaultDatabasePath(const char* xdgDataHome, const char* home);

struct FormControls {
    Label& lblUpdate;
    Label& lblDatabaseFile;
    TextBox& txtDatabaseFile;
    CommandButton& cmdBrowse;
    CommandButton& cmdCancel;
    CommandButton& cmdButton1;
};

// The wizard window's logic, free of any toolkit: its handlers, its states and the update run
// it starts. A toolkit draws the controls, forwards their clicks here and provides the services.
class frmMain {
  public:
    frmMain(FormControls controls, CommonDialog& dlgCommonDialog, DeviceContext& deviceContext,
            FormPlatform& platform, EventPump& events, basErrorHandler& errors,
            basDatabase& database, int year = kStoredYear);

    void Form_Load();
    void EnableUpdate(Boolean enable);
    void cmdBrowse_Click();
    void cmdButton1_Click();
    void cmdCancel_Click();
    // The title bar's close box: whether the window may close now. During the update run the
    // close waits until the run has returned.
    bool QueryClose();
    // Puts the focus where the user's next step is, as a wizard does once the window has
    // loaded and once the run has ended: on Next, or Finish, while it can be pressed, else on
    // Browse to pick a calendar.
    void FocusNextStep();

  private:
    void RunUpdate();

    FormControls mControls;
    CommonDialog& mDialog;
    DeviceContext& mDeviceContext;
    FormPlatform& mPlatform;
    basErrorHandler& mErrors;
    std::string mDatabasePath;
    UpdateRun mRun;
    // The run's one yield may dispatch clicks: they must not unload the window, change the
    // path or start anything while the run is under way.
    bool mRunning = false;
    bool mUnloadWhenDone = false;
};

}  // namespace almanoria
