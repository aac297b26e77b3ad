#pragma once

#include <QDialog>
#include <optional>

#include "mapwindow/ShowFreeSpaceMap.h"
#include "search/FreeRuns.h"

class QComboBox;
class QLabel;

namespace gapwell {

class FreeSpaceMapView;

// The free-space map: the whole ROM as cells in five colours, a legend, the alignment that runs
// must keep and the totals of the usable runs. A resizable window owned by the main window; at most
// one is loaded (see ShowFreeSpaceMap). Closing it destroys it. It reads the ROM only, never writes
// it.
class frmFreeSpaceMap : public QDialog {
    Q_OBJECT

  public:
    frmFreeSpaceMap(QWidget* owner, FreeSpaceMapLink link);

    // Reads the inputs again: scans the ROM when its path or the filler byte changed, and
    // recolours the cells and the totals for the needed length.
    void Refresh();

    FreeSpaceMapView* picMap = nullptr;
    QComboBox* cboAlignment = nullptr;
    QLabel* lblTotals = nullptr;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    // Creates the map, the legend and the totals line (frmFreeSpaceMapLayout.cpp).
    void BuildControls();
    void ShowTotals();
    void picMap_UsableRunClicked(const FreeRun& run);
    void cboAlignment_Change();

    FreeSpaceMapLink link_;
    // The inputs the map shows; empty until the first refresh.
    std::optional<FreeSpaceMapInputs> shown_;
};

}  // namespace gapwell
