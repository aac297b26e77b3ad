#include "search/RunMap.h"

#include <algorithm>
#include <utility>

#include "search/ReadOnlyFile.h"

namespace gapwell {

FreeRun AlignedPart(const FreeRun& run, std::int64_t alignment) {
    const std::int64_t aligned = (run.offset + alignment - 1) & ~(alignment - 1);
    return {aligned, run.offset + run.length - aligned};
}

RunMap::RunMap(std::int64_t romSize, std::vector<FreeRun> runs,
               std::vector<RangePointers> references, KnownData known, std::vector<FreeRun> cutRuns)
    : romSize_(romSize),
      runs_(std::move(runs)),
      references_(std::move(references)),
      known_(std::move(known)),
      cutRuns_(std::move(cutRuns)) {
    references_.resize(runs_.size());
}

RunMap RunMap::Scan(const std::string& path, std::uint8_t filler,
                    const std::vector<KnownMark>& known) {
    const std::int64_t romSize = ReadOnlyFile(path).Length();
    KnownData knownData = KnownData::Resolve(path, filler, known);
    std::vector<FreeRun> runs;
    std::vector<FreeRun> cutRuns;
    std::vector<ByteRange> ranges;
    PointerWords words;  // picked out by the scan, so that the pointer pass reads nothing
    const auto keep = [&](const FreeRun& run) {
        if (knownData.Empty()) {
            runs.push_back(run);
            ranges.push_back({run.offset, run.offset + run.length});
            return;
        }
        const std::vector<FreePart> parts = knownData.FreeParts(run);
        if (parts.size() != 1 || parts[0].run.length != run.length) {
            cutRuns.push_back(run);
        }
        for (const FreePart& part : parts) {
            runs.push_back(part.run);
            ranges.push_back({part.run.offset, part.run.offset + part.run.length});
        }
    };
    ScanFreeRuns(path, filler, 1, 1, keep, &words);
    std::vector<RangePointers> references = FindPointers(path, ranges, kListedPointers, &words);
    return RunMap(romSize, std::move(runs), std::move(references), std::move(knownData),
                  std::move(cutRuns));
}

bool RunMap::IsReferenced(std::size_t run) const {
    return references_[run].atStartCount > 0;
}

std::vector<CellClass> RunMap::Cells(std::int64_t bytesPerCell, std::int64_t needed,
                                     std::int64_t alignment) const {
    const std::int64_t cellCount = (romSize_ + bytesPerCell - 1) / bytesPerCell;
    std::vector<CellClass> cells(static_cast<std::size_t>(cellCount), CellClass::Data);
    std::vector<std::int64_t> shortBytes(cells.size(), 0);
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        const FreeRun& run = runs_[r];
        const bool usable = AlignedPart(run, alignment).length >= needed;
        const CellClass usableClass = IsReferenced(r) ? CellClass::Referenced : CellClass::Usable;
        const std::int64_t end = run.offset + run.length;
        for (std::int64_t cell = run.offset / bytesPerCell; cell * bytesPerCell < end; ++cell) {
            const auto index = static_cast<std::size_t>(cell);
            if (usable) {
                if (cells[index] != CellClass::Referenced) {
                    cells[index] = usableClass;
                }
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
    MarkKnownCells(cells, bytesPerCell, needed, alignment);
    return cells;
}

void RunMap::MarkKnownCells(std::vector<CellClass>& cells, std::int64_t bytesPerCell,
                            std::int64_t needed, std::int64_t alignment) const {
    for (const FreeRun& run : cutRuns_) {
        if (AlignedPart(run, alignment).length < needed) {
            continue;
        }
        const std::int64_t end = run.offset + run.length;
        for (std::int64_t cell = run.offset / bytesPerCell; cell * bytesPerCell < end; ++cell) {
            CellClass& cellClass = cells[static_cast<std::size_t>(cell)];
            const ByteRange bytes{std::max(run.offset, cell * bytesPerCell),
                                  std::min(end, (cell + 1) * bytesPerCell)};
            if ((cellClass == CellClass::Data || cellClass == CellClass::Short) &&
                known_.KnownEndFrom(bytes) != bytes.first) {
                cellClass = CellClass::Known;
            }
        }
    }
}

const FreeRun* RunMap::LongestRunIn(std::int64_t first, std::int64_t end,
                                    std::int64_t alignment) const {
    // The runs are in file order: start from the first one that ends after `first`.
    auto run = std::upper_bound(
        runs_.begin(), runs_.end(), first,
        [](std::int64_t value, const FreeRun& r) { return value < r.offset + r.length; });
    const FreeRun* longest = nullptr;
    for (; run != runs_.end() && run->offset < end; ++run) {
        if (longest == nullptr ||
            AlignedPart(*run, alignment).length > AlignedPart(*longest, alignment).length) {
            longest = &*run;
        }
    }
    return longest;
}

const RangePointers& RunMap::ReferencesOf(const FreeRun& run) const {
    return references_[static_cast<std::size_t>(&run - runs_.data())];
}

MapTotals RunMap::Totals(std::int64_t needed, std::int64_t alignment) const {
    MapTotals totals;
    for (const FreeRun& run : runs_) {
        const FreeRun usable = AlignedPart(run, alignment);
        if (usable.length < needed) {
            continue;
        }
        ++totals.usableRuns;
        totals.usableBytes += usable.length;
        if (usable.length > totals.largest.length) {
            totals.largest = usable;
        }
    }
    return totals;
}

}  // namespace gapwell
