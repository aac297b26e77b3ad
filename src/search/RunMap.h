#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "search/FreeRuns.h"
#include "search/KnownData.h"
#include "search/Pointers.h"

namespace gapwell {

// What a cell of the map shows, from worst to best.
enum class CellClass : std::uint8_t {
    Data,        // mostly bytes other than the filler
    Short,       // mostly filler runs shorter than the needed length
    Referenced,  // holds part of a usable run whose first byte a word points at exactly
    Usable,      // holds part of a filler run at least the needed length long
    Known,       // no usable part, but filler that known data took from a run long enough
};

// The listed pointer offsets of a run (the tooltip names the first of them).
inline constexpr std::size_t kListedPointers = 8;

// The totals under the map for one needed length.
struct MapTotals {
    std::int64_t usableRuns = 0;
    std::int64_t usableBytes = 0;
    FreeRun largest;  // length 0 when there is no usable run
};

// The part of `run` from its first offset that is a multiple of `alignment` on (length 0 or
// less when it holds no such offset).
FreeRun AlignedPart(const FreeRun& run, std::int64_t alignment);

// Every maximal run of one filler byte in a ROM, in file order, the words that point into each,
// and the ROM's size: all that the map needs for any needed length, alignment and cell size
// without reading the file again. A run is usable when its aligned part holds the needed length.
class RunMap {
  public:
    RunMap() = default;
    // `runs` in file order, without overlaps, inside [0, romSize); `references` one for each run,
    // or empty for none; `cutRuns`, the whole runs that `known` cut into `runs`.
    RunMap(std::int64_t romSize, std::vector<FreeRun> runs,
           std::vector<RangePointers> references = {}, KnownData known = {},
           std::vector<FreeRun> cutRuns = {});

    // Two passes over the file: the run finder of the scan command with needed length 1, then
    // the words pointing into the runs; a third first when some mark of `known` has no size.
    // Runs that known data cuts are kept as their free parts. Throws RuntimeError on read
    // failures.
    static RunMap Scan(const std::string& path, std::uint8_t filler,
                       const std::vector<KnownMark>& known = {});

    std::int64_t RomSize() const { return romSize_; }

    // The classes of the cells of `bytesPerCell` bytes that cover the ROM from offset 0. A cell
    // is Referenced when any of its bytes lies in a usable run that a word points at; otherwise
    // Usable when any lies in a usable run; otherwise Short when at least half of its bytes lie
    // in shorter runs; otherwise Data. (Lone filler bytes scattered through code and graphics
    // thus leave a cell Data.) A cell that would be Short or Data is Known when it holds a known
    // byte of a run whose aligned part held the needed length before known data cut it.
    std::vector<CellClass> Cells(std::int64_t bytesPerCell, std::int64_t needed,
                                 std::int64_t alignment = 1) const;

    // The run with a byte in [first, end) whose aligned part is longest (the first of equals),
    // or nullptr.
    const FreeRun* LongestRunIn(std::int64_t first, std::int64_t end,
                                std::int64_t alignment = 1) const;
    // The words pointing into `run`, one of this map's runs.
    const RangePointers& ReferencesOf(const FreeRun& run) const;

    MapTotals Totals(std::int64_t needed, std::int64_t alignment = 1) const;

    // The name of the smallest mark of known data in [first, end), or nullptr.
    const std::string* KnownNameIn(std::int64_t first, std::int64_t end) const {
        return known_.NameIn({first, end});
    }

  private:
    bool IsReferenced(std::size_t run) const;
    // Turns Data and Short cells into Known cells (see Cells).
    void MarkKnownCells(std::vector<CellClass>& cells, std::int64_t bytesPerCell,
                        std::int64_t needed, std::int64_t alignment) const;

    std::int64_t romSize_ = 0;
    std::vector<FreeRun> runs_;
    std::vector<RangePointers> references_;
    KnownData known_;
    std::vector<FreeRun> cutRuns_;
};

}  // namespace gapwell
