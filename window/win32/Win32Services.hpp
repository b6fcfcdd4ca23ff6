#pragma once

// What frmMain and the error handler take from Windows besides the controls.

#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformServices.hpp"
#include "window/Controls.hpp"
#include "window/FormServices.hpp"
#include "window/win32/Win32Api.hpp"

namespace almanoria::win32 {

// The run's one yield: every message waiting in the queue dispatched once, as the message loop
// would, keyboard navigation of the window included.
class Win32EventPump final : public EventPump {
  public:
    void Attach(HWND window) noexcept { mWindow = window; }
    void DoEvents() override;

  private:
    HWND mWindow = nullptr;
};

// The common file-open dialog.
class Win32FileDialog final : public CommonDialog {
  public:
    void Attach(HWND owner) noexcept { mOwner = owner; }
    void ShowOpen() override;

  private:
    HWND mOwner = nullptr;
};

// The window's surface with the window's font, for fitting the path into the path box.
class Win32DeviceContext final : public DeviceContext {
  public:
    Win32DeviceContext(int dpi, HFONT font) : mDpi(dpi), mFont(font) {}
    void Attach(HWND window, HWND pathBox) noexcept {
        mWindow = window;
        mPathBox = pathBox;
    }
    double TwipsPerPixelX() const override { return 1440.0 / mDpi; }
    // Never wider than the path box's text area, which the width in twips may exceed by a
    // pixel or more once the twips per pixel are rounded; and as the Linux window cuts a path
    // where the shell stops at "...\" and the file name.
    void CompactPathInPlace(std::string& buffer, std::uint32_t pixels) override;

  private:
    int mDpi;
    HFONT mFont;
    HWND mWindow = nullptr;
    HWND mPathBox = nullptr;
};

class Win32FormPlatform final : public FormPlatform {
  public:
    void Attach(HWND window) noexcept { mWindow = window; }
    bool FileExists(const std::string& path) const override;
    std::string ProgramDirectory() const override;
    // What the shell names for 32-bit programs, then for programs, each as far as it answers.
    std::vector<std::string> ProgramFilesFolders() const override;
    void Unload() override;

  private:
    HWND mWindow = nullptr;
};

class Win32MessageBox final : public MessageBoxService {
  public:
    // The box is modal to this window, which takes no clicks while it is up.
    void Attach(HWND owner) noexcept { mOwner = owner; }
    void ShowInformation(std::string_view text, std::string_view title) override;

  private:
    HWND mOwner = nullptr;
};

// The screen's dots per inch, as the window lays itself out at.
int ScreenDpi();

}  // namespace almanoria::win32
