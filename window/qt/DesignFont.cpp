#include "window/qt/DesignFont.hpp"

#include <QFontMetrics>
#include <QRect>

namespace almanoria {

namespace {
constexpr qreal kSmallestPointSize = 6.0;
constexpr qreal kStep = 0.5;
constexpr double kScaleStep = 0.05;
// Where a family is so wide that even twice its ratio leaves a text without room, the window
// stops growing and that text is cut.
constexpr double kMostGrowth = 2.0;
}  // namespace

bool TextsFit(const QFont& font, const std::vector<TextRoom>& texts) {
    const QFontMetrics metrics(font);
    for (const TextRoom& text : texts) {
        const QString shown = QString(text.Text).remove(QLatin1Char('&'));
        if (text.WordWrap) {
            const QRect needed = metrics.boundingRect(QRect(0, 0, text.Room.width(), 1 << 20),
                                                      Qt::TextWordWrap, shown);
            if (needed.height() > text.Room.height()) return false;
        } else if (metrics.tightBoundingRect(shown).right() >= text.Room.width() ||
                   metrics.height() > text.Room.height()) {
            // What must fit is the ink: a line may end in a little blank space of its last
            // character.
            return false;
        }
    }
    return true;
}

QFont FontThatFits(QFont font, const std::vector<TextRoom>& texts) {
    const qreal own = font.pointSizeF();
    if (own <= 0) return font;  // a font sized in pixels is taken as it is
    for (qreal size = own; size >= kSmallestPointSize; size -= kStep) {
        font.setPointSizeF(size);
        if (TextsFit(font, texts)) return font;
    }
    return font;
}

double LayoutScale(const QFont& font,
                   const std::function<std::vector<TextRoom>(double scale)>& textsAt) {
    const double ratio = font.pointSizeF() / kDesignPointSize;
    if (ratio <= 1.0) return 1.0;
    const int steps = static_cast<int>(ratio * (kMostGrowth - 1.0) / kScaleStep);
    for (int step = 0; step < steps; ++step) {
        const double scale = ratio + step * kScaleStep;
        if (TextsFit(font, textsAt(scale))) return scale;
    }
    return ratio * kMostGrowth;
}

}  // namespace almanoria
