#include "window/frmMain.hpp"

#include <cstdlib>

#include "platform/Folders.hpp"
#include "window/FormDesign.hpp"
#include "window/basCommonFunctions.hpp"

// Each statement number stands at the start of its line, as reports give it, so the trapping
// procedures keep a layout of their own.
// clang-format off

namespace almanoria {

namespace {
constexpr const char* kDatabaseFileName = "dbcalndr.mdb";

// The calendar's place inside a Program Files folder.
std::string InstalledDatabaseName() {
    return std::string(kProductName) + "\\" + kDatabaseFileName;
}

// The calendar in the first Program Files folder that holds it, or "": a 32-bit calendar on
// 64-bit Windows lives under "Program Files (x86)", and a localized Windows, or one installed
// on another drive, names its folder otherwise than the default path does.
std::string InstalledDatabase(const FormPlatform& platform) {
    for (std::string folder : platform.ProgramFilesFolders()) {
        if (folder.empty()) continue;
        if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
        std::string candidate = folder + InstalledDatabaseName();
        if (platform.FileExists(candidate)) return candidate;
    }
    return "";
}
}  // namespace

std::string MapDefaultDatabasePath(const char* xdgDataHome, const char* home) {
    return UserDataDirectory(xdgDataHome, home) + "/" + kDatabaseFileName;
}

std::string DefaultDatabasePath() {
#ifdef _WIN32
    return "C:\\Program Files\\" + InstalledDatabaseName();
#else
    return MapDefaultDatabasePath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
#endif
}

frmMain::frmMain(FormControls controls, CommonDialog& dlgCommonDialog, DeviceContext& deviceContext,
                 FormPlatform& platform, EventPump& events, basErrorHandler& errors,
                 basDatabase& database, int year)
    : mControls(controls),
      mDialog(dlgCommonDialog),
      mDeviceContext(deviceContext),
      mPlatform(platform),
      mErrors(errors),
      mRun(database, errors, {controls.lblUpdate, controls.cmdButton1, controls.cmdCancel, events},
           mDatabasePath, year) {}

void frmMain::Form_Load() {
    Long erl = 10;
    try {
        erl = 20; std::string databasePath = DefaultDatabasePath();
        erl = 30; bool exists = mPlatform.FileExists(databasePath);
                  if (!exists) {
                      // Only when the default path holds nothing: where Windows installed it.
                      databasePath = InstalledDatabase(mPlatform);
                      exists = !databasePath.empty();
                  }
        erl = 40; if (!exists) {
            erl = 50; mDatabasePath = "";
            erl = 60; EnableUpdate(vbFalse);
        } else {
            erl = 80; mDatabasePath = databasePath;
            erl = 90; EnableUpdate(vbTrue);
        }
    } catch (...) {
        mErrors.Err.Catch(erl);
        mErrors.HandleError("frmMain.Form_Load", vbTrue, "", vbFalse);  // 120
    }
}

void frmMain::EnableUpdate(Boolean enable) {
    Long erl = 10;
    try {
        erl = 20; if (enable == vbTrue) {
            erl = 30; mControls.lblUpdate.SetCaption(ReadyText());
            erl = 40; TextBox& pathBox = mControls.txtDatabaseFile;
            erl = 50; const Long width = CLng(Value::Number(pathBox.WidthInTwips() - 100));
                      pathBox.SetText(CompactPath(mDatabasePath, width, mDeviceContext));
            erl = 60;
            erl = 70; CommandButton& button = mControls.cmdButton1;
            erl = 80; button.SetCaption(kNextCaption);
            erl = 90; button.SetEnabled(true);
            erl = 100;
        } else {
            erl = 120; mControls.lblUpdate.SetCaption(NotFoundText());
            erl = 130; mControls.txtDatabaseFile.SetText("");
            erl = 140; mControls.cmdButton1.SetEnabled(false);
        }
    } catch (...) {
        mErrors.Err.Catch(erl);
        mErrors.HandleError("frmMain.EnableUpdate", vbTrue, "", vbFalse);  // 170
    }
}

void frmMain::cmdBrowse_Click() {
    if (mRunning) return;
    Long erl = 10;
    try {
        erl = 20; CommonDialog& dialog = mDialog;
        erl = 30; dialog.DialogTitle = kBrowseDialogTitle;
        erl = 40; dialog.InitDir = mPlatform.ProgramDirectory();
        erl = 50; dialog.CancelError = false;
        erl = 60; dialog.DefaultExt = ".mdb";
        erl = 70; dialog.Filter = kBrowseDialogFilter;
        erl = 80; dialog.Flags = OFN_EXPLORER + OFN_FILEMUSTEXIST;
        erl = 90; dialog.ShowOpen();
        erl = 100; if (!dialog.FileName.empty()) {
            erl = 110; mDatabasePath = dialog.FileName;
            erl = 120; EnableUpdate(vbTrue);
        }
        erl = 140;
    } catch (...) {
        mErrors.Err.Catch(erl);
        mErrors.HandleError("frmMain.cmdBrowse_Click", vbTrue, "", vbFalse);  // 160
    }
}

void frmMain::cmdButton1_Click() {
    if (mRunning) return;
    Long erl = 10;
    try {
        erl = 20; const std::string caption = mControls.cmdButton1.Caption();
                  if (caption == kNextCaption) {
            erl = 30; mControls.cmdButton1.SetEnabled(false);
            erl = 40; RunUpdate();
                      return;
        }
        erl = 50; if (caption == kFinishCaption) {
            erl = 60; mPlatform.Unload();
        }
    } catch (...) {
        mErrors.Err.Catch(erl);
        mErrors.HandleError("frmMain.cmdButton1_Click", vbTrue, "", vbFalse);  // 100
    }
}

void frmMain::RunUpdate() {
    {
        struct RunningFlag {
            bool& running;
            explicit RunningFlag(bool& flag) : running(flag) { running = true; }
            ~RunningFlag() { running = false; }
        } flag(mRunning);
        mRun.Update();
    }
    // A close asked for during the run happens now that the run has returned.
    if (mUnloadWhenDone) {
        mUnloadWhenDone = false;
        mPlatform.Unload();
    }
}

void frmMain::cmdCancel_Click() {
    if (mRunning) {
        mUnloadWhenDone = true;
        return;
    }
    mPlatform.Unload();
}

void frmMain::FocusNextStep() {
    if (mControls.cmdButton1.Enabled()) {
        mControls.cmdButton1.SetFocus();
    } else {
        mControls.cmdBrowse.SetFocus();
    }
}

bool frmMain::QueryClose() {
    if (mRunning) {
        mUnloadWhenDone = true;
        return false;
    }
    return true;
}

}  // namespace almanoria

// clang-format on
