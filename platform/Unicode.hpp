#pragma once

// The program's one conversion between UTF-8, the core's text, and UTF-16, the text of the
// window system and of the wide ODBC functions; and the ways it counts characters.
//
// The program counts characters two ways, each where it belongs (the test driver's third, by
// code points, is its own):
// - UTF-16 code units (Utf16Length) where Windows and Access count: a note's length against a
//   TEXT(255) column as Access reads it, the path box's text and the shell's buffer. A
//   character beyond U+FFFF counts two.
// - Cut points (IsCodePointStart, CodePointAt) where a text is shortened for the path box:
//   only between whole characters, never inside a UTF-8 sequence or a surrogate pair.

#include <cstddef>
#include <string>
#include <string_view>

namespace almanoria {

// Every malformed piece becomes U+FFFD: in UTF-8 a byte that starts no sequence, or a sequence
// cut short, one per byte; an overlong, surrogate or out-of-range sequence, one for all of it.
std::u16string ToUtf16(std::string_view utf8);
// A lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view utf16);

// The same over any 16-bit unit: SQLWCHAR, and wchar_t on Windows.
template <typename Unit>
std::string ToUtf8(const Unit* units, std::size_t count) {
    static_assert(sizeof(Unit) == 2, "UTF-16 comes in 16-bit units");
    return ToUtf8(std::u16string(units, units + count));
}

constexpr bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Whether a character starts at text[position]: at the first byte, and at every byte that
// continues no sequence.
constexpr bool IsCodePointStart(std::string_view text, std::size_t position) {
    return position == 0 || !IsContinuationByte(text[position]);
}

// The length of a UTF-8 text in UTF-16 code units. Expects well-formed UTF-8; a stray
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

// The code point that starts at position of well-formed UTF-8; missing continuation bytes
// read as zero bits.
constexpr char32_t CodePointAt(std::string_view text, std::size_t position) {
    const auto byte = [&](std::size_t at) {
        return at < text.size() ? static_cast<unsigned char>(text[at]) : 0x80u;
    };
    const unsigned lead = byte(position);
    if (lead < 0x80) return lead;
    if (lead < 0xE0) return ((lead & 0x1Fu) << 6) | (byte(position + 1) & 0x3Fu);
    if (lead < 0xF0)
        return ((lead & 0x0Fu) << 12) | ((byte(position + 1) & 0x3Fu) << 6) |
               (byte(position + 2) & 0x3Fu);
    return ((lead & 0x07u) << 18) | ((byte(position + 1) & 0x3Fu) << 12) |
           ((byte(position + 2) & 0x3Fu) << 6) | (byte(position + 3) & 0x3Fu);
}

}  // namespace almanoria
