#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "search/FreeRuns.h"

namespace gapwell {

// What a cell of the map shows, from worst to best.
enum class CellClass : std::uint8_t {
    Data,    // mostly bytes other than the filler
    Short,   // mostly filler runs shorter than the needed length
    Usable,  // holds part of a filler run at least the needed length long
};

// The totals under the map for one needed length.
struct MapTotals {
    std::int64_t usableRuns = 0;
    std::int64_t usableBytes = 0;
    FreeRun largest;  // length 0 when there is no usable run
};

// Every maximal run of one filler byte in a ROM, in file order, and the ROM's size: all that
// the map needs for any needed length and any cell size without reading the file again.
class RunMap {
  public:
    RunMap() = default;
    // `runs` in file order, without overlaps, inside [0, romSize).
    RunMap(std::int64_t romSize, std::vector<FreeRun> runs);

    // One pass over the file (the run finder of the scan command with needed length 1).
    // Throws RuntimeError on read failures.
    static RunMap Scan(const std::string& path, std::uint8_t filler);

    std::int64_t RomSize() const { return romSize_; }

    // The classes of the cells of `bytesPerCell` bytes that cover the ROM from offset 0. A cell
    // is Usable when any of its bytes lies in a run of at least `needed` bytes; otherwise Short
    // when at least half of its bytes lie in shorter runs; otherwise Data. (Lone filler bytes
    // scattered through code and graphics thus leave a cell Data.)
    std::vector<CellClass> Cells(std::int64_t bytesPerCell, std::int64_t needed) const;

    // The longest run with a byte in [first, end) (the first of equals), or nullptr.
    const FreeRun* LongestRunIn(std::int64_t first, std::int64_t end) const;

    MapTotals Totals(std::int64_t needed) const;

  private:
    std::int64_t romSize_ = 0;
    std::vector<FreeRun> runs_;
};

}  // namespace gapwell
