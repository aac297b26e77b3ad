#include "mapwindow/FreeSpaceMapView.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <utility>

#include "mapwindow/MapColours.h"
#include "search/MapGrid.h"
#include "search/Numbers.h"
#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "ui/PointerTexts.h"

namespace gapwell {

namespace {

// A cell takes 5 × 5 pixels and a one-pixel gap of the base colour to its right and below.
constexpr int kCellPitch = 6;

QString Hex(std::int64_t value) {
    return QString::fromStdString(ToHex(static_cast<std::uint64_t>(value)));
}

QString Text(int id) {
    return QString::fromStdString(LoadString(id));
}

}  // namespace

FreeSpaceMapView::FreeSpaceMapView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(kCellPitch * 16, kCellPitch * 8);
}

QSize FreeSpaceMapView::sizeHint() const {
    return QSize(kCellPitch * 96, kCellPitch * 64);
}

void FreeSpaceMapView::SetRuns(RunMap runs) {
    runs_ = std::move(runs);
    LayOut();
}

void FreeSpaceMapView::SetNeeded(std::int64_t needed) {
    needed_ = needed;
    LayOut();
}

void FreeSpaceMapView::SetAlignment(std::int64_t alignment) {
    alignment_ = alignment;
    LayOut();
}

void FreeSpaceMapView::LayOut() {
    columns_ = std::max(1, width() / kCellPitch);
    const std::int64_t rows = std::max(1, height() / kCellPitch);
    const std::int64_t cellCount = columns_ * rows;
    bytesPerCell_ = MapBytesPerCell(runs_.RomSize(), cellCount);
    cells_ = runs_.Cells(bytesPerCell_, needed_, alignment_);
    update();
}

QRect FreeSpaceMapView::CellRect(std::int64_t offset) const {
    const std::int64_t cell = offset / bytesPerCell_;
    if (offset < 0 || cell >= static_cast<std::int64_t>(cells_.size())) {
        return QRect();
    }
    const auto column = static_cast<int>(cell % columns_);
    const auto row = static_cast<int>(cell / columns_);
    return QRect(column * kCellPitch, row * kCellPitch, kCellPitch - 1, kCellPitch - 1);
}

std::int64_t FreeSpaceMapView::CellAt(const QPoint& point) const {
    const int column = point.x() / kCellPitch;
    if (point.x() < 0 || point.y() < 0 || column >= columns_) {
        return -1;
    }
    const std::int64_t cell = std::int64_t(point.y() / kCellPitch) * columns_ + column;
    return cell < static_cast<std::int64_t>(cells_.size()) ? cell : -1;
}

const FreeRun* FreeSpaceMapView::LongestRunOfCell(std::int64_t cell) const {
    const std::int64_t first = cell * bytesPerCell_;
    return runs_.LongestRunIn(first, first + bytesPerCell_, alignment_);
}

QString FreeSpaceMapView::ToolTipOf(std::int64_t cell) const {
    const std::int64_t first = cell * bytesPerCell_;
    const std::int64_t last = std::min(first + bytesPerCell_, runs_.RomSize()) - 1;
    QString text = Text(kStrMapOffsets).arg(Hex(first), Hex(last));
    if (cells_[static_cast<std::size_t>(cell)] == CellClass::Known) {
        if (const std::string* name = runs_.KnownNameIn(first, last + 1)) {
            text += QLatin1Char('\n') + Text(kStrMapKnownName).arg(QString::fromStdString(*name));
        }
        return text;
    }
    const FreeRun* run = LongestRunOfCell(cell);
    if (run == nullptr || cells_[static_cast<std::size_t>(cell)] == CellClass::Data) {
        return text;
    }
    const FreeRun part = AlignedPart(*run, alignment_);
    if (part.length > 0) {
        text +=
            QLatin1Char('\n') +
            Text(kStrMapRun).arg(Hex(part.offset), Hex(part.length), QString::number(part.length));
    }
    const RangePointers& references = runs_.ReferencesOf(*run);
    if (references.atStartCount > 0) {
        text +=
            QLatin1Char('\n') + PointersAtStartText(references.atStartCount, references.atStart);
    }
    return text;
}

bool FreeSpaceMapView::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    auto* help = static_cast<QHelpEvent*>(event);
    const std::int64_t cell = CellAt(help->pos());
    if (cell < 0) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), ToolTipOf(cell), this);
    }
    return true;
}

void FreeSpaceMapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const MapColours colours = MapColoursFor(palette());
    painter.fillRect(rect(), colours.background);
    for (std::size_t cell = 0; cell < cells_.size(); ++cell) {
        PaintCell(painter, CellRect(static_cast<std::int64_t>(cell) * bytesPerCell_), cells_[cell],
                  colours);
    }
}

void FreeSpaceMapView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void FreeSpaceMapView::mouseReleaseEvent(QMouseEvent* event) {
    const std::int64_t cell = CellAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || cell < 0) {
        return;
    }
    const CellClass cellClass = cells_[static_cast<std::size_t>(cell)];
    if (cellClass != CellClass::Usable && cellClass != CellClass::Referenced) {
        return;
    }
    if (const FreeRun* run = LongestRunOfCell(cell)) {
        emit UsableRunClicked(AlignedPart(*run, alignment_));
    }
}

}  // namespace gapwell
