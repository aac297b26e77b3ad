#include "mapwindow/MapColours.h"

#include <QPainter>
#include <QPalette>
#include <QRect>

#include "mapwindow/MapPalette.h"

namespace gapwell {

namespace {

bool IsDark(const QPalette& palette) {
    return palette.color(QPalette::Base).lightness() < 128;
}

}  // namespace

MapColours MapColoursFor(const QPalette& palette) {
    const bool dark = IsDark(palette);
    const auto colour = [dark](const MapRgb& rgb) {
        return QColor::fromRgb(dark ? rgb.dark : rgb.light);
    };
    MapColours colours;
    colours.background = palette.color(QPalette::Base);
    colours.usable = colour(kMapUsable);
    colours.referenced = colour(kMapReferenced);
    colours.referencedDot = colour(kMapReferencedDot);
    colours.shortRun = colour(kMapShort);
    colours.shortStroke = colour(kMapShortStroke);
    colours.known = colour(kMapKnown);
    colours.knownStroke = colour(kMapKnownStroke);
    colours.data = colour(kMapData);
    return colours;
}

void PaintCell(QPainter& painter, const QRect& rect, CellClass cellClass,
               const MapColours& colours) {
    switch (cellClass) {
        case CellClass::Usable:
            painter.fillRect(rect, colours.usable);
            return;
        case CellClass::Referenced:
            painter.fillRect(rect, colours.referenced);
            painter.fillRect(QRect(rect.center(), QSize(1, 1)), colours.referencedDot);
            return;
        case CellClass::Data:
            painter.fillRect(rect, colours.data);
            return;
        case CellClass::Short:
            painter.fillRect(rect, colours.shortRun);
            painter.setPen(colours.shortStroke);
            painter.drawLine(rect.bottomLeft(), rect.topRight());
            return;
        case CellClass::Known:
            painter.fillRect(rect, colours.known);
            if (rect.width() > 2) {
                painter.setPen(colours.knownStroke);
                painter.drawLine(QPoint(rect.left() + 1, rect.center().y()),
                                 QPoint(rect.right(), rect.center().y()));
            }
            return;
    }
}

}  // namespace gapwell
