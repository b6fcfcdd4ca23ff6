#pragma once

#include <cstddef>
#include <string_view>

namespace almanoria {

// The length of a UTF-8 text as the program counts characters everywhere: in UTF-16 code
// units, so a character beyond U+FFFF counts two. Expects well-formed UTF-8; a stray
// continuation byte counts nothing.
constexpr std::size_t Utf16Length(std::string_view utf8) {
    std::size_t length = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) == 0x80) continue;
        length += byte >= 0xF0 ? 2 : 1;
    }
    return length;
}

}  // namespace almanoria
