#pragma once

#include <QRect>
#include <QSize>

#include "window/FormDesign.hpp"

namespace almanoria {

// The design's rectangles and sizes in pixels, by LayoutPixels.
QRect ToPixels(const TwipsRect& rect, double twipsPerPixel);
QSize ToPixels(int widthInTwips, int heightInTwips, double twipsPerPixel);

}  // namespace almanoria
