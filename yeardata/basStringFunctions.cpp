#include "yeardata/basStringFunctions.hpp"

#include <cstdint>

namespace almanoria {

namespace {

// Positions are byte positions in the UTF-8 text: the delimiter is matched exactly and UTF-8
// is self-synchronising, so they cut the same fields as counting 16-bit characters would.

// Find(s): the 1-based position of the first occurrence at s or later, 0 when there is none
// or s lies beyond the end. An empty delimiter occurs nowhere, so a text is its own field 1.
std::int64_t Find(std::string_view text, std::string_view delimiter, std::int64_t start) {
    if (delimiter.empty() || start > static_cast<std::int64_t>(text.size())) return 0;
    const std::size_t found = text.find(delimiter, static_cast<std::size_t>(start - 1));
    return found == std::string_view::npos ? 0 : static_cast<std::int64_t>(found) + 1;
}

}  // namespace

std::string GetField(std::string_view text, std::string_view delimiter, Integer n) {
    std::int64_t c = 1;
    std::int64_t d = 0;
    if (n == 1) {
        d = Find(text, delimiter, 1) - 1;
    } else {
        const Integer before = CheckedSubtract(n, Integer{1});
        for (Integer i = 1; i <= before; i = CheckedAdd(i, Integer{1})) {
            const std::int64_t e = Find(text, delimiter, c);
            if (e == 0) return {};
            c = e + static_cast<std::int64_t>(delimiter.size());
        }
        const std::int64_t e = Find(text, delimiter, c);
        d = e != 0 ? e - c : static_cast<std::int64_t>(text.size()) - c + 1;
    }
    if (d == 0) return {};
    if (d == -1) return std::string(text);
    return std::string(text.substr(static_cast<std::size_t>(c - 1), static_cast<std::size_t>(d)));
}

std::string GetFields(std::string_view text, std::string_view delimiter, Integer first,
                      Integer last) {
    if (last == 0) last = first;
    std::string result;
    // A true range carries on past the last field, appending empty fields with their
    // delimiters up to last.
    for (Integer i = first; i <= last; i = CheckedAdd(i, Integer{1})) {
        if (i == first) {
            result = GetField(text, delimiter, i);
        } else {
            result += delimiter;
            result += GetField(text, delimiter, i);
        }
    }
    return result;
}

}  // namespace almanoria
