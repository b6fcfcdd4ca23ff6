#include "window/basCommonFunctions.hpp"

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "platform/Unicode.hpp"

namespace almanoria {

namespace {

constexpr std::string_view kEllipsis = "...";

// Marks that belong to the character before them: a cut between the two would change that
// character ("e" and a combining diaeresis make "ë").
bool JoinsThePrevious(char32_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
           (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
           (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFE20 && c <= 0xFE2F) || c == 0x200D ||
           (c >= 0x3099 && c <= 0x309A) || (c >= 0xE0100 && c <= 0xE01EF);
}

// Where text may be cut, from 0 to its length: between whole characters only, so never inside
// a UTF-8 sequence, nor inside the surrogate pair it becomes in UTF-16.
std::vector<std::size_t> CutPoints(std::string_view text) {
    std::vector<std::size_t> cuts{0};
    for (std::size_t at = 1; at < text.size(); ++at) {
        if (!IsCodePointStart(text, at)) continue;
        if (!JoinsThePrevious(CodePointAt(text, at))) cuts.push_back(at);
    }
    if (!text.empty()) cuts.push_back(text.size());
    return cuts;
}

// The longest start of text (cut where it may be, and short of the whole text unless whole
// is allowed) for which make(start) is acceptable, or nothing. The text drawn grows with the
// start, so a binary search finds it.
std::optional<std::string> LongestStart(std::string_view text, bool wholeAllowed,
                                        const std::function<std::string(std::string_view)>& make,
                                        const std::function<bool(const std::string&)>& acceptable) {
    std::vector<std::size_t> cuts = CutPoints(text);
    if (!wholeAllowed && cuts.size() > 1) cuts.pop_back();
    std::optional<std::string> best;
    std::size_t low = 0;
    std::size_t high = cuts.size();  // cuts[low, high) are still open
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        std::string candidate = make(text.substr(0, cuts[middle]));
        if (acceptable(candidate)) {
            best = std::move(candidate);
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return best;
}

}  // namespace

std::uint32_t PathWidthPixels(Long twips, double twipsPerPixel) {
    const double rounded = std::nearbyint(twipsPerPixel);  // halves go to the even neighbour
    if (rounded == 0) throw Failure(ErrorNumber::DivisionByZero, "Division by zero");
    const Long divisor = static_cast<Long>(rounded);
    const Long pixels = twips / divisor;  // integer division drops the remainder
    return pixels < 0 ? 0u : static_cast<std::uint32_t>(pixels);
}

std::string ShortenPath(std::string_view path, std::uint32_t pixels,
                        const std::function<int(std::string_view)>& textWidth) {
    const auto fits = [&](std::string_view text) {
        return textWidth(text) <= static_cast<long long>(pixels);
    };
    if (fits(path)) return std::string(path);

    const std::size_t limit = Utf16Length(path);
    const auto acceptable = [&](const std::string& candidate) {
        return Utf16Length(candidate) <= limit && fits(candidate);
    };

    // As much of the folders' start as fits, "...", and the file name with its separator:
    // "/home/ann/Alman.../dbcalndr.mdb".
    const std::size_t lastSeparator = path.find_last_of("/\\");
    const std::string_view fileName =
        lastSeparator == std::string_view::npos ? path : path.substr(lastSeparator + 1);
    if (lastSeparator != std::string_view::npos) {
        const std::string_view tail = path.substr(lastSeparator);
        const auto withTail = [&](std::string_view start) {
            return std::string(start) + std::string(kEllipsis) + std::string(tail);
        };
        if (auto shown = LongestStart(path.substr(0, lastSeparator), true, withTail, acceptable))
            return *shown;
    }

    // Not even "..." and the file name fit: as much of the file name's start as does, and
    // "..." for the rest of it.
    const auto withEllipsis = [](std::string_view start) {
        return std::string(start) + std::string(kEllipsis);
    };
    if (auto shown = LongestStart(fileName, false, withEllipsis, acceptable)) return *shown;
    for (std::size_t dots = kEllipsis.size(); dots > 0; --dots) {
        std::string candidate(dots, '.');
        if (acceptable(candidate)) return candidate;
    }
    return std::string();
}

std::string CompactPath(std::string path, Long width, DeviceContext& deviceContext) {
    // 1. A working copy; the caller's path is never changed.
    std::string working = std::move(path);
    // 2. The width in whole pixels.
    const std::uint32_t pixels = PathWidthPixels(width, deviceContext.TwipsPerPixelX());
    // 3. The platform rewrites a buffer of the path's own length.
    std::string buffer = working;
    deviceContext.CompactPathInPlace(buffer, pixels);
    // 4 and 5. The buffer up to the first zero character, or all of it when there is none: a
    // shortened path as long as the path has its zero just past the buffer's end.
    const std::size_t zero = buffer.find('\0');
    return zero == std::string::npos ? buffer : buffer.substr(0, zero);
}

}  // namespace almanoria
