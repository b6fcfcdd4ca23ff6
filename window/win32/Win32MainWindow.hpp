#pragma once

#include <memory>
#include <string>

#include "database/basDatabase.hpp"
#include "errors/basErrorHandler.hpp"
#include "window/FormDesign.hpp"
#include "window/frmMain.hpp"
#include "window/win32/Win32Api.hpp"
#include "window/win32/Win32Controls.hpp"
#include "window/win32/Win32Handles.hpp"
#include "window/win32/Win32Services.hpp"

namespace almanoria::win32 {

// frmMain as a Win32 dialog window: the controls as child windows laid out in twips at the
// screen's resolution, their clicks and the close box forwarded to the window's logic. The
// dialog manager gives it what every dialog has: the dialog's role to assistive technology,
// Enter for the default button, Escape for cancelling, Tab and the access keys.
class Win32MainWindow {
  public:
    // year: the one the update writes, named in the title unless it is the stored one.
    Win32MainWindow(HINSTANCE instance, basErrorHandler& errors, basDatabase& database,
                    Win32MessageBox& messageBox, int year);
    ~Win32MainWindow();
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;

    // Form_Load, then the window on the screen.
    void LoadAndShow(int showCommand);
    // Runs the window's messages until the program ends; the exit code of WM_QUIT.
    int RunMessageLoop();

  private:
    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void PlaceWindow();
    void CreateControls();
    // The window's text is the design's caption unless another is given.
    HWND CreateChild(const ControlDesign& design, const wchar_t* windowClass, DWORD style,
                     DWORD extendedStyle, std::wstring caption = {});
    void AddToolTip(HWND control, std::wstring text);
    int Pixels(int twips) const;
    void OnClick(int id) noexcept;
    // Removes the keyboard and mouse messages queued while the update run held the thread.
    void DropInputQueuedDuringTheRun();

    HINSTANCE mInstance;
    int mDpi;
    HFONT mFont;
    Win32MessageBox& mMessageBox;
    IconHandle mIcon;
    IconHandle mSmallIcon;
    IconHandle mPicture;
    HWND mWindow = nullptr;

    Win32Label mLblUpdate;
    Win32Label mLblDatabaseFile;
    Win32TextBox mTxtDatabaseFile;
    Win32Button mCmdBrowse;
    Win32Button mCmdCancel;
    Win32Button mCmdButton1;
    Win32EventPump mEvents;
    Win32FileDialog mDialog;
    Win32DeviceContext mDeviceContext;
    Win32FormPlatform mPlatform;
    std::unique_ptr<frmMain> mForm;
};

}  // namespace almanoria::win32
