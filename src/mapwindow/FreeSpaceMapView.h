#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

#include "search/RunMap.h"

namespace gapwell {

// Draws a ROM as a grid of square cells, row by row from offset 0, each cell standing for the
// same number of bytes, chosen so that the ROM fills the widget. Hovering a cell shows its
// offsets, its longest run and the words pointing at that run; clicking a cell that holds a
// usable run reports the aligned part of its longest run.
// Resizing only lays the cells out anew from the run list.
class FreeSpaceMapView : public QWidget {
    Q_OBJECT

  public:
    explicit FreeSpaceMapView(QWidget* parent = nullptr);

    void SetRuns(RunMap runs);
    void SetNeeded(std::int64_t needed);
    // A power of two; runs are usable from their first offset that is a multiple of it on.
    void SetAlignment(std::int64_t alignment);
    const RunMap& Runs() const { return runs_; }
    std::int64_t Needed() const { return needed_; }
    std::int64_t Alignment() const { return alignment_; }

    std::int64_t BytesPerCell() const { return bytesPerCell_; }
    // Where the cell holding `offset` is drawn (an empty rectangle past the ROM's end).
    QRect CellRect(std::int64_t offset) const;

    QSize sizeHint() const override;

  signals:
    void UsableRunClicked(const gapwell::FreeRun& run);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void LayOut();
    // The index of the cell under `point`, or -1.
    std::int64_t CellAt(const QPoint& point) const;
    const FreeRun* LongestRunOfCell(std::int64_t cell) const;
    QString ToolTipOf(std::int64_t cell) const;

    RunMap runs_;
    std::int64_t needed_ = 1;
    std::int64_t alignment_ = 1;
    int columns_ = 1;
    std::int64_t bytesPerCell_ = 1;
    std::vector<CellClass> cells_;
};

}  // namespace gapwell
