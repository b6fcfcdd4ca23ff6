#include "window/win32/Win32MainWindow.hpp"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

#include "window/FormDesign.hpp"
#include "window/win32/Win32Text.hpp"
#include "window/win32/resources/resource.h"

namespace almanoria::win32 {

namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Unowned, so it stands in the taskbar as the program's window.
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

constexpr const FormDesign& kDesign = kFrmMainDesign;
constexpr int kCmdBrowse = ControlId(kDesign.cmdBrowse);
constexpr int kCmdCancel = ControlId(kDesign.cmdCancel);
constexpr int kCmdButton1 = ControlId(kDesign.cmdButton1);

[[noreturn]] void RaiseLastError(const char* what) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

// A dialog template of the window's frame and title alone: the system's dialog class, no
// menu, no font of its own. The controls are made afterwards from the design in twips, at the
// screen's dots per inch rather than in dialog units.
std::vector<WORD> FrameTemplate(std::wstring_view title) {
    DLGTEMPLATE frame{};
    frame.style = kWindowStyle;
    frame.dwExtendedStyle = kWindowExStyle;
    std::vector<WORD> words(sizeof frame / sizeof(WORD));
    std::memcpy(words.data(), &frame, sizeof frame);
    words.push_back(0);  // no menu
    words.push_back(0);  // the dialog class
    words.insert(words.end(), title.begin(), title.end());
    words.push_back(0);
    return words;
}

}  // namespace

Win32MainWindow::Win32MainWindow(HINSTANCE instance, basErrorHandler& errors, basDatabase& database,
                                 Win32MessageBox& messageBox, int year)
    : mInstance(instance),
      mDpi(ScreenDpi()),
      mFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))),
      mMessageBox(messageBox),
      mIcon(LoadIconResource(instance, IDI_ALMANORIA, GetSystemMetrics(SM_CXICON))),
      mSmallIcon(LoadIconResource(instance, IDI_ALMANORIA, GetSystemMetrics(SM_CXSMICON))),
      mPicture(LoadIconResource(instance, IDI_PICTURE, 48)),
      mTxtDatabaseFile(mDpi),
      mDeviceContext(mDpi, mFont) {
    const std::wstring title = Widen(WindowTitle(year));
    const std::vector<WORD> frame = FrameTemplate(title);
    if (!CreateDialogIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(frame.data()),
                                    nullptr, &Win32MainWindow::DialogProcedure,
                                    reinterpret_cast<LPARAM>(this))) {
        RaiseLastError("CreateDialogIndirectParamW");
    }
    SendMessageW(mWindow, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(mIcon.get()));
    SendMessageW(mWindow, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(mSmallIcon.get()));
    PlaceWindow();
    CreateControls();

    mEvents.Attach(mWindow);
    mDialog.Attach(mWindow);
    mDeviceContext.Attach(mWindow, mTxtDatabaseFile.Handle());
    mPlatform.Attach(mWindow);
    mMessageBox.Attach(mWindow);
    mForm = std::make_unique<frmMain>(FormControls{mLblUpdate, mLblDatabaseFile, mTxtDatabaseFile,
                                                   mCmdBrowse, mCmdCancel, mCmdButton1},
                                      mDialog, mDeviceContext, mPlatform, mEvents, errors, database,
                                      year);
}

Win32MainWindow::~Win32MainWindow() {
    if (mWindow) DestroyWindow(mWindow);
}

void Win32MainWindow::PlaceWindow() {
    // The frame goes around the client area, and the window opens in the middle of the work
    // area.
    RECT frame{0, 0, Pixels(kDesign.ClientWidth), Pixels(kDesign.ClientHeight)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    const int width = static_cast<int>(frame.right - frame.left);
    const int height = static_cast<int>(frame.bottom - frame.top);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = static_cast<int>(work.left) +
                     std::max(0, static_cast<int>(work.right - work.left - width) / 2);
    const int top = static_cast<int>(work.top) +
                    std::max(0, static_cast<int>(work.bottom - work.top - height) / 2);
    SetWindowPos(mWindow, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// LayoutPixels's rule in the dialog manager's integer arithmetic: MulDiv rounds to the nearest,
// halves up, as lround does, with no floating-point scale to lose a half where 1440 is no
// multiple of the dots per inch.
int Win32MainWindow::Pixels(int twips) const {
    return MulDiv(twips, mDpi, 1440);
}

HWND Win32MainWindow::CreateChild(const ControlDesign& design, const wchar_t* windowClass,
                                  DWORD style, DWORD extendedStyle, std::wstring caption) {
    const TwipsRect& rect = design.Rect;
    if (caption.empty()) caption = Widen(design.Caption);
    HWND child = CreateWindowExW(
        extendedStyle, windowClass, caption.empty() ? nullptr : caption.c_str(),
        WS_CHILD | WS_VISIBLE | style, Pixels(rect.Left), Pixels(rect.Top), Pixels(rect.Width),
        Pixels(rect.Height), mWindow,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(design))), mInstance, nullptr);
    if (!child) RaiseLastError("CreateWindowExW");
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(mFont), FALSE);
    return child;
}

void Win32MainWindow::CreateControls() {
    // Made in tab order, which is the order the dialog keys walk.
    // Named for assistive technology by its window text, which an icon's static takes only
    // when it is made: it looks for an icon of that name first, finds none, and keeps the text.
    HWND picture = CreateChild(kDesign.Picture1, L"STATIC", SS_ICON | SS_REALSIZEIMAGE, 0,
                               Widen(kDesign.PictureName));
    SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(mPicture.get()), 0);
    mLblUpdate.Attach(CreateChild(kDesign.lblUpdate, L"STATIC", SS_LEFT, 0));
    // The access key D of the label moves the focus to the path box, which follows it.
    // One line, clipped rather than wrapped out of sight when the font runs wide.
    mLblDatabaseFile.Attach(CreateChild(kDesign.lblDatabaseFile, L"STATIC", SS_LEFTNOWORDWRAP, 0));
    // Read-only: nothing reads what would be typed there. It still takes the focus, and its
    // text can be selected and copied.
    mTxtDatabaseFile.Attach(CreateChild(kDesign.txtDatabaseFile, L"EDIT",
                                        WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | ES_READONLY,
                                        WS_EX_CLIENTEDGE));
    AddToolTip(mTxtDatabaseFile.Handle(), Widen(kDesign.PathBoxToolTip));
    constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;
    mCmdBrowse.Attach(CreateChild(kDesign.cmdBrowse, L"BUTTON", kButton, 0));
    mCmdCancel.Attach(CreateChild(kDesign.cmdCancel, L"BUTTON", kButton, 0));
    // Next, and Finish once the same button reads so, is what Enter presses.
    mCmdButton1.Attach(
        CreateChild(kDesign.cmdButton1, L"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, 0));
    SendMessageW(mWindow, DM_SETDEFID, kCmdButton1, 0);
}

void Win32MainWindow::AddToolTip(HWND control, std::wstring text) {
    // Owned by the window, so it goes with it.
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, mWindow,
                               nullptr, mInstance, nullptr);
    if (!tip) return;  // the path box works without its tip
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = mWindow;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text.data();
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32MainWindow::LoadAndShow(int showCommand) {
    mForm->Form_Load();
    ShowWindow(mWindow, showCommand);
    UpdateWindow(mWindow);
    mForm->FocusNextStep();
}

int Win32MainWindow::RunMessageLoop() {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 1;
        // Tab, the arrow keys and the access keys move between the controls.
        if (!mWindow || !IsDialogMessageW(mWindow, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

INT_PTR CALLBACK Win32MainWindow::DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    Win32MainWindow* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Win32MainWindow*>(lParam);
        self->mWindow = window;
        SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        // No control exists yet: the window's logic puts the focus once it has loaded.
        return FALSE;
    }
    self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    return self->HandleMessage(message, wParam, lParam);
}

INT_PTR Win32MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL && lParam == 0) {
                // Escape, which the dialog manager sends as IDCANCEL: the cancel button, while
                // it can be pressed.
                if (mCmdCancel.Enabled()) OnClick(kCmdCancel);
            } else if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
                OnClick(LOWORD(wParam));
            }
            return TRUE;
        case WM_CLOSE:
            // The close box waits while the update runs; the window closes when it returns.
            if (!mForm || mForm->QueryClose()) DestroyWindow(mWindow);
            return TRUE;
        case WM_DESTROY:
            PostQuitMessage(0);
            return TRUE;
        case WM_NCDESTROY: {
            HWND window = mWindow;
            mWindow = nullptr;
            mEvents.Attach(nullptr);
            mDialog.Attach(nullptr);
            mDeviceContext.Attach(nullptr, nullptr);
            mPlatform.Attach(nullptr);
            mMessageBox.Attach(nullptr);
            SetWindowLongPtrW(window, DWLP_USER, 0);
            return FALSE;
        }
        default:
            return FALSE;
    }
}

void Win32MainWindow::OnClick(int id) noexcept {
    // The handlers trap their own failures; one that escaped would end the program here
    // rather than unwind through the window system's frames.
    if (!mForm) return;
    switch (id) {
        case kCmdBrowse:
            mForm->cmdBrowse_Click();
            break;
        case kCmdCancel:
            mForm->cmdCancel_Click();
            break;
        case kCmdButton1:
            mForm->cmdButton1_Click();
            if (!mWindow) break;
            DropInputQueuedDuringTheRun();
            // The button disabled itself for the run: the focus comes back to Finish, or to
            // Browse after a run that failed.
            mForm->FocusNextStep();
            // A label that changes without the focus is silent: the completion is announced
            // as an alert of the message area, which screen readers speak.
            if (mCmdButton1.Caption() == kFinishCaption)
                NotifyWinEvent(EVENT_SYSTEM_ALERT, mLblUpdate.Handle(), OBJID_CLIENT, CHILDID_SELF);
            break;
        default:
            break;
    }
}

void Win32MainWindow::DropInputQueuedDuringTheRun() {
    // Keys and clicks that came while the run held the thread would otherwise press Finish, or
    // anything else, unseen the moment the window takes messages again. The title bar's close
    // box sends no message of these ranges: its close stays deferred, as the window's logic has
    // it. The program's one thread owns no other window.
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
}

}  // namespace almanoria::win32
