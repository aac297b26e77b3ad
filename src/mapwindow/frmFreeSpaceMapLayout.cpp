// Controls of the free-space map: the map fills the window; the legend with the alignment choice
// and the totals line sit under it.
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

#include "mapwindow/FreeSpaceMapView.h"
#include "mapwindow/MapColours.h"
#include "mapwindow/frmFreeSpaceMap.h"
#include "services/modLocalizedIDs.h"
#include "ui/LayoutHelpers.h"

namespace gapwell {

namespace {

constexpr int kSwatchSize = 11;

// A swatch in the look of a cell class and its caption.
void AddLegendEntry(QWidget* parent, QHBoxLayout* row, const char* name, CellClass cellClass,
                    int textId) {
    // Drawn at the screen's pixel density, so that a scaled screen gets sharp edges and hatching.
    const qreal density = parent->devicePixelRatioF();
    QPixmap swatch(QSize(kSwatchSize, kSwatchSize) * density);
    swatch.setDevicePixelRatio(density);
    QPainter painter(&swatch);
    PaintCell(painter, QRect(0, 0, kSwatchSize, kSwatchSize), cellClass,
              MapColoursFor(parent->palette()));
    painter.end();
    auto* picture = new QLabel(parent);
    picture->setPixmap(swatch);
    auto* caption = new QLabel(parent);
    caption->setObjectName(QLatin1String(name));
    SetStringId(caption, textId);
    row->addWidget(picture);
    row->addWidget(caption);
    row->addSpacing(kSwatchSize);
}

}  // namespace

void frmFreeSpaceMap::BuildControls() {
    setObjectName(QStringLiteral("frmFreeSpaceMap"));
    SetStringId(this, kStrFreeSpaceMap);
    setWindowTitle(QStringLiteral("Free-space map"));

    picMap = new FreeSpaceMapView(this);
    picMap->setObjectName(QStringLiteral("picMap"));

    auto* legend = new QHBoxLayout;
    AddLegendEntry(this, legend, "lblUsable", CellClass::Usable, kStrMapUsable);
    AddLegendEntry(this, legend, "lblReferenced", CellClass::Referenced, kStrMapReferenced);
    AddLegendEntry(this, legend, "lblShort", CellClass::Short, kStrMapShort);
    AddLegendEntry(this, legend, "lblKnown", CellClass::Known, kStrMapKnown);
    AddLegendEntry(this, legend, "lblData", CellClass::Data, kStrMapData);
    legend->addStretch();
    auto* alignmentCaption = new QLabel(this);
    alignmentCaption->setObjectName(QStringLiteral("lblAlignment"));
    SetStringId(alignmentCaption, kStrMapAlignment);
    cboAlignment = new QComboBox(this);
    cboAlignment->setObjectName(QStringLiteral("cboAlignment"));
    for (const std::int64_t alignment : {1, 2, 4, 16, 256}) {
        cboAlignment->addItem(QString::number(alignment), QVariant::fromValue(alignment));
    }
    alignmentCaption->setBuddy(cboAlignment);
    legend->addWidget(alignmentCaption);
    legend->addWidget(cboAlignment);

    lblTotals = new QLabel(this);
    lblTotals->setObjectName(QStringLiteral("lblTotals"));
    lblTotals->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblTotals->setWordWrap(true);  // long translations must not widen the window

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picMap, 1);
    layout->addLayout(legend);
    layout->addWidget(lblTotals);
}

}  // namespace gapwell
