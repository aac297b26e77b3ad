#include "mapwindow/MapColours.h"

#include <QPainter>
#include <QPalette>
#include <QRect>

namespace gapwell {

namespace {

bool IsDark(const QPalette& palette) {
    return palette.color(QPalette::Base).lightness() < 128;
}

}  // namespace

MapColours MapColoursFor(const QPalette& palette) {
    MapColours colours;
    colours.background = palette.color(QPalette::Base);
    if (IsDark(palette)) {
        colours.usable = QColor(0x56, 0xB4, 0xE9);
        colours.referenced = QColor(0xF0, 0x7A, 0x3C);
        colours.referencedDot = QColor(0x3D, 0x16, 0x00);
        colours.shortRun = QColor(0xC4, 0x88, 0x00);
        colours.shortStroke = QColor(0x4A, 0x33, 0x00);
        colours.known = QColor(0xD9, 0x8F, 0xB8);
        colours.knownStroke = QColor(0x3A, 0x12, 0x2A);
        colours.data = QColor(0x48, 0x48, 0x48);
    } else {
        colours.usable = QColor(0x00, 0x72, 0xB2);
        colours.referenced = QColor(0xD5, 0x5E, 0x00);
        colours.referencedDot = QColor(0xFF, 0xE8, 0xD6);
        colours.shortRun = QColor(0xE6, 0x9F, 0x00);
        colours.shortStroke = QColor(0x7A, 0x52, 0x00);
        colours.known = QColor(0xCC, 0x79, 0xA7);
        colours.knownStroke = QColor(0xFA, 0xE6, 0xF1);
        colours.data = QColor(0xD6, 0xD6, 0xD6);
    }
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
