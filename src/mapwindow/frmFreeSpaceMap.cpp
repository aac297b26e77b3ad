#include "mapwindow/frmFreeSpaceMap.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <utility>

#include "mapwindow/FreeSpaceMapView.h"
#include "search/MapGrid.h"
#include "search/Numbers.h"
#include "services/ErrorScope.h"
#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "ui/Localize.h"
#include "ui/SingleWindow.h"

namespace gapwell {

namespace {

constexpr const char* kModuleName = "frmFreeSpaceMap";

// The alignment chosen last, kept while the program runs (1 until one is chosen).
std::int64_t& ChosenAlignment() {
    static std::int64_t alignment = 1;
    return alignment;
}

}  // namespace

frmFreeSpaceMap::frmFreeSpaceMap(QWidget* owner, FreeSpaceMapLink link)
    : QDialog(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      link_(std::move(link)) {
    BuildControls();
    OwnSingleWindow(this, {.moduleName = kModuleName, .escapeCloses = false});
    Localize(this);
    connect(picMap, &FreeSpaceMapView::UsableRunClicked, this,
            &frmFreeSpaceMap::picMap_UsableRunClicked);
    cboAlignment->setCurrentIndex(cboAlignment->findData(QVariant::fromValue(ChosenAlignment())));
    picMap->SetAlignment(ChosenAlignment());
    connect(cboAlignment, &QComboBox::currentIndexChanged, this,
            &frmFreeSpaceMap::cboAlignment_Change);
    for (QLineEdit* field : link_.inputFields) {
        connect(field, &QLineEdit::textChanged, this, &frmFreeSpaceMap::Refresh);
    }
    Refresh();
}

void frmFreeSpaceMap::Refresh() {
    const FreeSpaceMapInputs inputs = link_.inputs();
    if (!shown_ || inputs.romPath != shown_->romPath || inputs.filler != shown_->filler ||
        inputs.known != shown_->known) {
        RunMap runs;
        ErrorScope scope("Refresh", kModuleName);
        scope.Step([&] { runs = RunMap::Scan(inputs.romPath, inputs.filler, inputs.known); });
        picMap->SetRuns(std::move(runs));
    }
    shown_ = inputs;
    picMap->SetNeeded(std::max<std::int64_t>(1, inputs.needed));
    ShowTotals();
}

void frmFreeSpaceMap::ShowTotals() {
    const std::int64_t needed = picMap->Needed();
    const MapTotals totals = picMap->Runs().Totals(needed, picMap->Alignment());
    if (totals.usableRuns == 0) {
        lblTotals->setText(QString::fromStdString(LoadString(kStrMapNoUsableRun)).arg(needed));
        return;
    }
    const std::int64_t romSize = picMap->Runs().RomSize();
    const double share =
        100.0 * static_cast<double>(totals.usableBytes) / static_cast<double>(romSize);
    lblTotals->setText(
        QString::fromStdString(LoadString(kStrMapTotals))
            .arg(totals.usableRuns)
            .arg(totals.usableBytes)
            .arg(share, 0, 'f', 1)
            .arg(totals.largest.length)
            .arg(QString::fromStdString(ToHex(static_cast<std::uint64_t>(totals.largest.offset)))));
}

void frmFreeSpaceMap::picMap_UsableRunClicked(const FreeRun& run) {
    if (const std::optional<std::int64_t> start =
            SearchStartFor(run, picMap->Needed(), picMap->Alignment())) {
        link_.searchFrom(*start);
    }
}

void frmFreeSpaceMap::cboAlignment_Change() {
    ChosenAlignment() = cboAlignment->currentData().toLongLong();
    picMap->SetAlignment(ChosenAlignment());
    ShowTotals();
}

void frmFreeSpaceMap::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Another ROM may have been opened while the map was in the background.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Refresh();
    }
}

void ShowFreeSpaceMap(QWidget* owner, FreeSpaceMapLink link) {
    // A map already loaded reads its inputs again; it keeps the link it was loaded with.
    if (frmFreeSpaceMap* loaded = LoadedForms::Find<frmFreeSpaceMap>()) {
        loaded->Refresh();
    }
    ShowInFront(&LoadSingleWindow<frmFreeSpaceMap>(
        [owner, &link] { return new frmFreeSpaceMap(owner, std::move(link)); }));
}

}  // namespace gapwell
