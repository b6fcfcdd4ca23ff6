#include "window/win32/Win32Text.hpp"

#include "platform/Unicode.hpp"

namespace almanoria::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the window system's text is UTF-16");

std::wstring Widen(std::string_view utf8) {
    const std::u16string units = ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string Narrow(std::wstring_view utf16) {
    return ToUtf8(utf16.data(), utf16.size());
}

}  // namespace almanoria::win32
