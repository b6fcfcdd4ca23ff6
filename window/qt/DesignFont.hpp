#pragma once

#include <QFont>
#include <QSize>
#include <QString>
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

}  // namespace almanoria
