#pragma once

#include <QFont>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

namespace almanoria {

// A text of the window and the room its control leaves it.
struct TextRoom {
    QString Text;  // an ampersand marks an access key and takes no room
    QSize Room;
    bool WordWrap = false;
};

// The layout in twips was drawn for a narrow 8-point dialog font, and the toolkit's default
// is often wider. This keeps the default font but takes the largest of its sizes, up to its
// own, at which every text fits its room; the smallest tried when none does.
QFont FontThatFits(QFont font, const std::vector<TextRoom>& texts);

bool TextsFit(const QFont& font, const std::vector<TextRoom>& texts);

// The largest desktop font size for which the window keeps the size its twips give; above it
// the window grows with the font.
inline constexpr qreal kDesignPointSize = 9.0;

// How many times larger than drawn the window is laid out, so that a desktop font larger than
// the design's keeps its size, as the Windows window grows with the screen's dots per inch: the
// font's ratio to the design's size, grown by twentieths while a text still would not fit its
// room (a family wider than the design's). 1 at the design's size and below, and for a font
// sized in pixels. textsAt gives the window's texts in their rooms at a scale.
double LayoutScale(const QFont& font,
                   const std::function<std::vector<TextRoom>(double scale)>& textsAt);

}  // namespace almanoria
