#pragma once

// frmMain's controls over Win32 child windows.

#include <string>
#include <string_view>

#include "window/Controls.hpp"
#include "window/win32/Win32Api.hpp"

namespace almanoria::win32 {

// A child window whose text is the control's caption; attached once the window exists.
class ChildWindow {
  public:
    void Attach(HWND handle) noexcept { mHandle = handle; }
    HWND Handle() const noexcept { return mHandle; }
    std::string WindowText() const;
    void SetWindowText(std::string_view text);

  private:
    HWND mHandle = nullptr;
};

class Win32Label final : public Label, public ChildWindow {
  public:
    std::string Caption() const override { return WindowText(); }
    void SetCaption(std::string_view caption) override { SetWindowText(caption); }
};

class Win32Button final : public CommandButton, public ChildWindow {
  public:
    std::string Caption() const override { return WindowText(); }
    void SetCaption(std::string_view caption) override { SetWindowText(caption); }
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    // Through the dialog manager, which also makes the focused push button the one Enter
    // presses.
    void SetFocus() override;
};

class Win32TextBox final : public TextBox, public ChildWindow {
  public:
    explicit Win32TextBox(int dpi) : mDpi(dpi) {}
    std::string Text() const override { return WindowText(); }
    void SetText(std::string_view text) override { SetWindowText(text); }
    // The width on the screen in twips: whole pixels times the twips of one pixel.
    double WidthInTwips() const override;

  private:
    int mDpi;
};

}  // namespace almanoria::win32
