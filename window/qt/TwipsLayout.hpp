#pragma once

#include <QRect>
#include <QSize>

#include "window/FormDesign.hpp"

namespace almanoria {

// Twips to whole pixels, each value rounded to the nearest on its own (halves away from
// zero), as the window's controls are placed: 5700 twips are 380 pixels at 15 twips a pixel
// and 475 at 12; 975 are 65 and 81.
int TwipsToPixelsRounded(int twips, double twipsPerPixel);
QRect ToPixels(const TwipsRect& rect, double twipsPerPixel);
QSize ToPixels(int widthInTwips, int heightInTwips, double twipsPerPixel);

}  // namespace almanoria
