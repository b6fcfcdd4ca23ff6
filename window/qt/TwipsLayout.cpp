#include "window/qt/TwipsLayout.hpp"

#include <cmath>

namespace almanoria {

int TwipsToPixelsRounded(int twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

QRect ToPixels(const TwipsRect& rect, double twipsPerPixel) {
    return {TwipsToPixelsRounded(rect.Left, twipsPerPixel),
            TwipsToPixelsRounded(rect.Top, twipsPerPixel),
            TwipsToPixelsRounded(rect.Width, twipsPerPixel),
            TwipsToPixelsRounded(rect.Height, twipsPerPixel)};
}

QSize ToPixels(int widthInTwips, int heightInTwips, double twipsPerPixel) {
    return {TwipsToPixelsRounded(widthInTwips, twipsPerPixel),
            TwipsToPixelsRounded(heightInTwips, twipsPerPixel)};
}

}  // namespace almanoria
