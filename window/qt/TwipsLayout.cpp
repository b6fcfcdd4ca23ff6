#include "window/qt/TwipsLayout.hpp"

namespace almanoria {

QRect ToPixels(const TwipsRect& rect, double twipsPerPixel) {
    return {LayoutPixels(rect.Left, twipsPerPixel), LayoutPixels(rect.Top, twipsPerPixel),
            LayoutPixels(rect.Width, twipsPerPixel), LayoutPixels(rect.Height, twipsPerPixel)};
}

QSize ToPixels(int widthInTwips, int heightInTwips, double twipsPerPixel) {
    return {LayoutPixels(widthInTwips, twipsPerPixel), LayoutPixels(heightInTwips, twipsPerPixel)};
}

}  // namespace almanoria
