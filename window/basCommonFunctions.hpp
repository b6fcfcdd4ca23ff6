#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "errors/BasicTypes.hpp"
#include "window/FormServices.hpp"

namespace almanoria {

// The path as the path box shows it: shortened with "..." to fit width twips when drawn on
// the device context, or unchanged when it fits. Traps nothing.
std::string CompactPath(std::string path, Long width, DeviceContext& deviceContext);

// Shortens a path to fit pixels, measured by textWidth, as the Windows shell does: as much of
// the path's start as fits, cut between characters, then "..." and the file name with its
// separator. When not even that fits, the start of the file name and "...". Unchanged when it
// fits, and never longer than it was. For platforms without a path compaction of their own.
std::string ShortenPath(std::string_view path, std::uint32_t pixels,
                        const std::function<int(std::string_view)>& textWidth);

// The path box's width in twips as the pixels the shortened path may take: twips per pixel
// rounded half to even, then integer division. Not the layout's rule (LayoutPixels): this is
// the arithmetic the path's fitting has always had, and its pixels are kept.
std::uint32_t PathWidthPixels(Long twips, double twipsPerPixel);

}  // namespace almanoria
