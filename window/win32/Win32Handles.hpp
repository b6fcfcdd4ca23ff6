#pragma once

#include <memory>
#include <type_traits>

#include "window/win32/Win32Api.hpp"

namespace almanoria::win32 {

// Owners of the Win32 objects the window takes, each given back when its owner goes.

struct IconRelease {
    void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
};
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconRelease>;

// An icon of the program's resources at exactly that size.
IconHandle LoadIconResource(HINSTANCE instance, int id, int size);

// A directory listing started with FindFirstFileW.
class FindHandle {
  public:
    explicit FindHandle(HANDLE handle) noexcept : mHandle(handle) {}
    ~FindHandle() {
        if (mHandle != INVALID_HANDLE_VALUE) FindClose(mHandle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    bool Found() const noexcept { return mHandle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const noexcept { return mHandle; }

  private:
    HANDLE mHandle;
};

// The drawing surface of a window, or of the screen for a null window.
class WindowDC {
  public:
    explicit WindowDC(HWND window) noexcept : mWindow(window), mDC(GetDC(window)) {}
    ~WindowDC() {
        if (mDC) ReleaseDC(mWindow, mDC);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC Get() const noexcept { return mDC; }

  private:
    HWND mWindow;
    HDC mDC;
};

// A font or other object selected into a surface, the previous one put back afterwards.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept
        : mDC(dc), mPrevious(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (mPrevious && mPrevious != HGDI_ERROR) SelectObject(mDC, mPrevious);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC mDC;
    HGDIOBJ mPrevious;
};

}  // namespace almanoria::win32
