#pragma once

#include <QColor>

#include "search/RunMap.h"

class QPainter;
class QPalette;
class QRect;

namespace gapwell {

// The map's colours, from the Okabe-Ito palette (told apart with every kind of colour
// blindness) and apart in lightness too: blue for usable runs, vermilion with a pale dot in the
// middle for usable runs that a word points at, amber with a dark diagonal stroke for short
// runs, reddish purple with a contrasting horizontal stroke for known data (filler that a build
// file says is data), a neutral grey for data. On a dark palette the blue is the light sky blue,
// the vermilion a lighter one and the grey a dark one, so that each stands out from the window's
// base colour.
struct MapColours {
    QColor usable;
    QColor referenced;
    QColor referencedDot;
    QColor shortRun;
    QColor shortStroke;
    QColor known;
    QColor knownStroke;
    QColor data;
    QColor background;
};

MapColours MapColoursFor(const QPalette& palette);

// Fills one cell (or a legend swatch) in the look of its class. The pixel at the rectangle's
// top left corner always has the class's fill colour.
void PaintCell(QPainter& painter, const QRect& rect, CellClass cellClass,
               const MapColours& colours);

}  // namespace gapwell
