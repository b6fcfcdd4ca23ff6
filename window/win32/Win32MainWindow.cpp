#include "window/win32/Win32MainWindow.hpp"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <system_error>

#include "window/FormDesign.hpp"
#include "window/win32/Win32Text.hpp"
#include "window/win32/resources/resource.h"

namespace almanoria::win32 {

namespace {

constexpr const wchar_t* kWindowClass = L"AlmanoriaYear2012";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

constexpr const FormDesign& kDesign = kFrmMainDesign;
constexpr int kCmdBrowse = ControlId(kDesign.cmdBrowse);
constexpr int kCmdCancel = ControlId(kDesign.cmdCancel);
constexpr int kCmdButton1 = ControlId(kDesign.cmdButton1);

[[noreturn]] void RaiseLastError(const char* what) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

}  // namespace

Win32MainWindow::Win32MainWindow(HINSTANCE instance, basErrorHandler& errors, basDatabase& database,
                                 Win32MessageBox& messageBox)
    : mInstance(instance),
      mDpi(ScreenDpi()),
      mFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))),
      mMessageBox(messageBox),
      mIcon(LoadIconResource(instance, IDI_ALMANORIA, GetSystemMetrics(SM_CXICON))),
      mSmallIcon(LoadIconResource(instance, IDI_ALMANORIA, GetSystemMetrics(SM_CXSMICON))),
      mPicture(LoadIconResource(instance, IDI_PICTURE, 48)),
      mTxtDatabaseFile(mDpi),
      mDeviceContext(mDpi, mFont) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Win32MainWindow::WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = mIcon.get();
    windowClass.hIconSm = mSmallIcon.get();
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&windowClass)) RaiseLastError("RegisterClassExW");

    // The frame goes around the client area, and the window opens in the middle of the work
    // area.
    RECT frame{0, 0, Pixels(kDesign.ClientWidth), Pixels(kDesign.ClientHeight)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    const int width = static_cast<int>(frame.right - frame.left);
    const int height = static_cast<int>(frame.bottom - frame.top);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = static_cast<int>(work.left) +
                     std::max(0, static_cast<int>(work.right - work.left - width) / 2);
    const int top = static_cast<int>(work.top) +
                    std::max(0, static_cast<int>(work.bottom - work.top - height) / 2);
    if (!CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, Widen(kDesign.Title).c_str(),
                         kWindowStyle, left, top, width, height, nullptr, nullptr, instance,
                         this)) {
        const DWORD error = GetLastError();
        UnregisterClassW(kWindowClass, mInstance);
        SetLastError(error);
        RaiseLastError("CreateWindowExW");
    }
    SendMessageW(mWindow, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(mIcon.get()));
    SendMessageW(mWindow, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(mSmallIcon.get()));
    CreateControls();

    mEvents.Attach(mWindow);
    mDialog.Attach(mWindow);
    mDeviceContext.Attach(mWindow, mTxtDatabaseFile.Handle());
    mPlatform.Attach(mWindow);
    mMessageBox.Attach(mWindow);
    mForm =
        std::make_unique<frmMain>(FormControls{mLblUpdate, mLblDatabaseFile, mTxtDatabaseFile,
                                               mCmdBrowse, mCmdCancel, mCmdButton1},
                                  mDialog, mDeviceContext, mPlatform, mEvents, errors, database);
}

Win32MainWindow::~Win32MainWindow() {
    if (mWindow) DestroyWindow(mWindow);
    UnregisterClassW(kWindowClass, mInstance);
}

int Win32MainWindow::Pixels(int twips) const {
    return MulDiv(twips, mDpi, 1440);
}

HWND Win32MainWindow::CreateChild(const ControlDesign& design, const wchar_t* windowClass,
                                  DWORD style, DWORD extendedStyle) {
    const TwipsRect& rect = design.Rect;
    const std::wstring caption = Widen(design.Caption);
    HWND child = CreateWindowExW(
        extendedStyle, windowClass, caption.empty() ? nullptr : caption.c_str(),
        WS_CHILD | WS_VISIBLE | style, Pixels(rect.Left), Pixels(rect.Top), Pixels(rect.Width),
        Pixels(rect.Height), mWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(design))),
        mInstance, nullptr);
    if (!child) RaiseLastError("CreateWindowExW");
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(mFont), FALSE);
    return child;
}

void Win32MainWindow::CreateControls() {
    // Made in tab order, which is the order the dialog keys walk.
    HWND picture = CreateChild(kDesign.Picture1, L"STATIC", SS_ICON | SS_REALSIZEIMAGE, 0);
    SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(mPicture.get()), 0);
    mLblUpdate.Attach(CreateChild(kDesign.lblUpdate, L"STATIC", SS_LEFT, 0));
    // The access key D of the label moves the focus to the path box, which follows it.
    // One line, clipped rather than wrapped out of sight when the font runs wide.
    mLblDatabaseFile.Attach(CreateChild(kDesign.lblDatabaseFile, L"STATIC", SS_LEFTNOWORDWRAP, 0));
    mTxtDatabaseFile.Attach(CreateChild(kDesign.txtDatabaseFile, L"EDIT",
                                        WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE));
    AddToolTip(mTxtDatabaseFile.Handle(), Widen(kDesign.PathBoxToolTip));
    constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;
    mCmdBrowse.Attach(CreateChild(kDesign.cmdBrowse, L"BUTTON", kButton, 0));
    mCmdCancel.Attach(CreateChild(kDesign.cmdCancel, L"BUTTON", kButton, 0));
    mCmdButton1.Attach(CreateChild(kDesign.cmdButton1, L"BUTTON", kButton, 0));
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

LRESULT CALLBACK Win32MainWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    Win32MainWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self =
            static_cast<Win32MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->mWindow = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT Win32MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && lParam != 0) OnClick(LOWORD(wParam));
            return 0;
        case WM_ACTIVATE:
            // The focus comes back to the control that had it when the window was left.
            if (LOWORD(wParam) == WA_INACTIVE) {
                mLastFocus = GetFocus();
            } else if (mLastFocus && IsChild(mWindow, mLastFocus) && IsWindowEnabled(mLastFocus)) {
                SetFocus(mLastFocus);
            } else if (HWND first = GetNextDlgTabItem(mWindow, nullptr, FALSE)) {
                SetFocus(first);
            }
            return 0;
        case WM_NEXTDLGCTL:
            // What a dialog's own procedure does; the access key of a label sends it.
            MoveFocus(wParam, lParam);
            return 0;
        case WM_CLOSE:
            // The close box waits while the update runs; the window closes when it returns.
            if (mForm && !mForm->QueryClose()) return 0;
            DestroyWindow(mWindow);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY: {
            HWND window = mWindow;
            mWindow = nullptr;
            mEvents.Attach(nullptr);
            mDialog.Attach(nullptr);
            mDeviceContext.Attach(nullptr, nullptr);
            mPlatform.Attach(nullptr);
            mMessageBox.Attach(nullptr);
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return DefWindowProcW(window, message, wParam, lParam);
        }
        default:
            return DefWindowProcW(mWindow, message, wParam, lParam);
    }
}

void Win32MainWindow::MoveFocus(WPARAM which, LPARAM byHandle) {
    HWND target = LOWORD(byHandle) ? reinterpret_cast<HWND>(which)
                                   : GetNextDlgTabItem(mWindow, GetFocus(), which != 0);
    if (!target || !IsChild(mWindow, target)) return;
    if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageW(target, EM_SETSEL, 0, -1);
    SetFocus(target);
    // The focused push button is the one Enter presses, as in a dialog.
    for (HWND child = GetWindow(mWindow, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LRESULT code = SendMessageW(child, WM_GETDLGCODE, 0, 0);
        if (child == target && (code & DLGC_UNDEFPUSHBUTTON))
            SendMessageW(child, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        else if (child != target && (code & DLGC_DEFPUSHBUTTON))
            SendMessageW(child, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
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
            break;
        default:
            break;
    }
}

}  // namespace almanoria::win32
