#include "window/win32/Win32Controls.hpp"

#include <vector>

#include "window/win32/Win32Text.hpp"

namespace almanoria::win32 {

std::string ChildWindow::WindowText() const {
    const int length = GetWindowTextLengthW(mHandle);
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(mHandle, text.data(), length + 1);
    return Narrow(std::wstring_view(text.data(), static_cast<std::size_t>(copied)));
}

void ChildWindow::SetWindowText(std::string_view text) {
    SetWindowTextW(mHandle, Widen(text).c_str());
}

bool Win32Button::Enabled() const {
    return IsWindowEnabled(Handle()) != FALSE;
}

void Win32Button::SetEnabled(bool enabled) {
    // A disabled window keeps no keyboard focus: hand it on, so the keyboard still works.
    if (!enabled && GetFocus() == Handle())
        SendMessageW(GetParent(Handle()), WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(Handle(), enabled ? TRUE : FALSE);
}

void Win32Button::SetFocus() {
    SendMessageW(GetParent(Handle()), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Handle()), TRUE);
}

// Unrounded: the path's fitting rounds once, by its own rule (PathWidthPixels).
double Win32TextBox::WidthInTwips() const {
    RECT bounds{};
    GetWindowRect(Handle(), &bounds);
    return static_cast<double>(bounds.right - bounds.left) * 1440.0 / mDpi;
}

}  // namespace almanoria::win32
