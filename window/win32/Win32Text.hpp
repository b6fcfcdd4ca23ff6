#pragma once

#include <string>
#include <string_view>

namespace almanoria::win32 {

// The core's texts are UTF-8; the window system's are UTF-16. Names for the platform's one
// conversion (platform/Unicode.hpp) at the window's calls.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace almanoria::win32
