#include "window/basCommonFunctions.hpp"

#include <cmath>
#include <vector>

#include "yeardata/TextLength.hpp"

namespace almanoria {

namespace {

constexpr std::string_view kEllipsis = "...";

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// The start of the code point before position.
std::size_t PreviousCodePoint(std::string_view text, std::size_t position) {
    do {
        --position;
    } while (position > 0 && (static_cast<unsigned char>(text[position]) & 0xC0) == 0x80);
    return position;
}

struct PathParts {
    std::string_view Root;  // "/", "C:\", "\\server\share\" or nothing
    std::vector<std::string_view> Folders;
    std::string_view FileName;
    char Separator = '/';
};

PathParts Split(std::string_view path) {
    PathParts parts;
    std::size_t rootEnd = 0;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // \\server\share\ counts whole as the root.
        std::size_t at = 2;
        for (int part = 0; part < 2 && at < path.size(); ++part) {
            while (at < path.size() && !IsSeparator(path[at]))
                ++at;
            if (at < path.size()) ++at;
        }
        rootEnd = at;
    } else if (path.size() >= 3 && path[1] == ':' && IsSeparator(path[2])) {
        rootEnd = 3;
    } else if (!path.empty() && IsSeparator(path[0])) {
        rootEnd = 1;
    }
    parts.Root = path.substr(0, rootEnd);
    for (const char c : path) {
        if (IsSeparator(c)) {
            parts.Separator = c;
            break;
        }
    }
    std::size_t start = rootEnd;
    for (std::size_t at = rootEnd; at <= path.size(); ++at) {
        if (at == path.size() || IsSeparator(path[at])) {
            if (at == path.size()) {
                parts.FileName = path.substr(start);
            } else if (at > start) {
                parts.Folders.push_back(path.substr(start, at - start));
            }
            start = at + 1;
        }
    }
    return parts;
}

}  // namespace

std::uint32_t TwipsToPixels(Long twips, double twipsPerPixel) {
    const double rounded = std::nearbyint(twipsPerPixel);  // halves go to the even neighbour
    if (rounded == 0) throw Failure(11, "Division by zero");
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

    // Leave out folders from the left, keeping the root and the folders nearest the file.
    const PathParts parts = Split(path);
    const std::string separator(1, parts.Separator);
    for (std::size_t kept = parts.Folders.size(); kept-- > 0;) {
        std::string candidate = std::string(parts.Root) + std::string(kEllipsis);
        for (std::size_t folder = parts.Folders.size() - kept; folder < parts.Folders.size();
             ++folder) {
            candidate += separator + std::string(parts.Folders[folder]);
        }
        candidate += separator + std::string(parts.FileName);
        if (acceptable(candidate)) return candidate;
    }
    std::string candidate = std::string(kEllipsis) + separator + std::string(parts.FileName);
    if (acceptable(candidate)) return candidate;

    // Not even the file name fits: keep as much of its start as does.
    std::string_view name = parts.FileName.empty() ? path : parts.FileName;
    while (!name.empty()) {
        name = name.substr(0, PreviousCodePoint(name, name.size()));
        candidate = std::string(name) + std::string(kEllipsis);
        if (acceptable(candidate)) return candidate;
    }
    for (std::size_t dots = kEllipsis.size(); dots > 0; --dots) {
        candidate = std::string(dots, '.');
        if (acceptable(candidate)) return candidate;
    }
    return std::string();
}

std::string CompactPath(std::string path, Long width, DeviceContext& deviceContext) {
    // 1. A working copy; the caller's path is never changed.
    std::string working = std::move(path);
    // 2. The width in whole pixels.
    const std::uint32_t pixels = TwipsToPixels(width, deviceContext.TwipsPerPixelX());
    // 3. The platform rewrites a buffer of the path's own length.
    std::string buffer = working;
    deviceContext.CompactPathInPlace(buffer, pixels);
    // 4 and 5. The buffer up to the first zero character, or all of it when there is none: a
    // shortened path as long as the path has its zero just past the buffer's end.
    const std::size_t zero = buffer.find('\0');
    return zero == std::string::npos ? buffer : buffer.substr(0, zero);
}

}  // namespace almanoria
