#include "window/win32/Win32Handles.hpp"

namespace almanoria::win32 {

IconHandle LoadIconResource(HINSTANCE instance, int id, int size) {
    return IconHandle(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

}  // namespace almanoria::win32
