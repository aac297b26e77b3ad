#include "mapwindow/RunMap.h"

#include <algorithm>
#include <utility>

#include "search/ReadOnlyFile.h"

namespace gapwell {

RunMap::RunMap(std::int64_t romSize, std::vector<FreeRun> runs)
    : romSize_(romSize), runs_(std::move(runs)) {}

RunMap RunMap::Scan(const std::string& path, std::uint8_t filler) {
    const std::int64_t romSize = ReadOnlyFile(path).Length();
    std::vector<FreeRun> runs;
    ScanFreeRuns(path, filler, 1, 1, [&runs](const FreeRun& run) { runs.push_back(run); });
    return RunMap(romSize, std::move(runs));
}

std::vector<CellClass> RunMap::Cells(std::int64_t bytesPerCell, std::int64_t needed) const {
    const std::int64_t cellCount = (romSize_ + bytesPerCell - 1) / bytesPerCell;
    std::vector<CellClass> cells(static_cast<std::size_t>(cellCount), CellClass::Data);
    std::vector<std::int64_t> shortBytes(cells.size(), 0);
    for (const FreeRun& run : runs_) {
        const std::int64_t end = run.offset + run.length;
        for (std::int64_t cell = run.offset / bytesPerCell; cell * bytesPerCell < end; ++cell) {
            const auto index = static_cast<std::size_t>(cell);
            if (run.length >= needed) {
                cells[index] = CellClass::Usable;
                continue;
            }
            const std::int64_t cellStart = cell * bytesPerCell;
            shortBytes[index] +=
                std::min(end, cellStart + bytesPerCell) - std::max(run.offset, cellStart);
        }
    }
    for (std::size_t index = 0; index < cells.size(); ++index) {
        const std::int64_t cellStart = static_cast<std::int64_t>(index) * bytesPerCell;
        const std::int64_t cellBytes = std::min(bytesPerCell, romSize_ - cellStart);
        if (cells[index] == CellClass::Data && 2 * shortBytes[index] >= cellBytes) {
            cells[index] = CellClass::Short;
        }
    }
    return cells;
}

const FreeRun* RunMap::LongestRunIn(std::int64_t first, std::int64_t end) const {
    // The runs are in file order: start from the first one that ends after `first`.
    auto run = std::upper_bound(
        runs_.begin(), runs_.end(), first,
        [](std::int64_t value, const FreeRun& r) { return value < r.offset + r.length; });
    const FreeRun* longest = nullptr;
    for (; run != runs_.end() && run->offset < end; ++run) {
        if (longest == nullptr || run->length > longest->length) {
            longest = &*run;
        }
    }
    return longest;
}
MapTotals RunMap::Totals(std::int64_t needed) const {
    MapTotals totals;
    for (const FreeRun& run : runs_) {
        if (run.length < needed) {
            continue;
        }
        ++totals.usableRuns;
        totals.usableBytes += run.length;
        if (run.length > totals.largest.length) {
            totals.largest = run;
        }
    }
    return totals;
}

}  // namespace gapwell
