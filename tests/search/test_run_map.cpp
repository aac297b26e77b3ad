// The run map for synthetic run lists: which runs count as usable for a needed length and an
// alignment, which is the largest, the kinds of the cells at their edges, and which run a cell
// names.

#include <gtest/gtest.h>

#include <vector>

#include "search/RunMap.h"

namespace gapwell {
namespace {

constexpr std::int64_t kRomSize = 0x10000;
constexpr std::int64_t kNeeded = 0x100;
constexpr FreeRun kOddRun{0x6001, kNeeded + 15};  // usable from 0x6010 with alignment 16

RunMap TestRuns() {
    std::vector<RangeReferences> references(7);
    references[2].atStart = {0x40, 0x80};
    references[2].atStartCount = 2;
    return RunMap(kRomSize,
                  {{0, kNeeded},
                   {0x1000, kNeeded},
                   {0x2000, kNeeded},
                   {0x3000, kNeeded - 1},
                   {0x4008, 8},
                   {0x5008, 1},
                   kOddRun},
                  references);
}

TEST(RunMap, TheTotalsCountRunsOfExactlyTheNeededLength) {
    const RunMap runs = TestRuns();
    const MapTotals totals = runs.Totals(kNeeded);
    EXPECT_EQ(totals.usableRuns, 4);
    EXPECT_EQ(totals.usableBytes, 4 * kNeeded + 15);
    EXPECT_EQ(totals.largest.offset, kOddRun.offset);
    const MapTotals aligned = runs.Totals(kNeeded, 16);
    EXPECT_EQ(aligned.usableRuns, 4);
    EXPECT_EQ(aligned.largest.offset, 0);  // the first of equals
    EXPECT_EQ(runs.Totals(kNeeded, 256).usableRuns, 3);
    EXPECT_EQ(runs.Totals(kNeeded + 1).usableRuns, 1);
}

// Cells of 16 bytes; runs of at least 4 bytes are usable.
TEST(RunMap, CellsAtTheirEdges) {
    using enum CellClass;
    struct Case {
        const char* name;
        std::int64_t romSize;
        std::vector<FreeRun> runs;
        std::vector<bool> pointedAt;
        std::vector<CellClass> expected;
    };
    const std::vector<Case> cases{
        {"a pointed-at run, then an unpointed one in the same cell",
         0x20,
         {{0x10, 4}, {0x18, 4}},
         {true, false},
         {Data, Referenced}},
        {"the last cell, shorter than the others, counts only its own bytes",
         0x25,
         {{0x22, 3}},
         {false},
         {Data, Data, Short}},
        {"a run that starts at the next cell leaves this one alone",
         0x20,
         {{0x10, 8}},
         {false},
         {Data, Usable}},
    };
    for (const Case& c : cases) {
        std::vector<RangeReferences> references(c.runs.size());
        for (std::size_t r = 0; r < c.runs.size(); ++r) {
            references[r].atStartCount = c.pointedAt[r] ? 1 : 0;
        }
        const RunMap map(c.romSize, c.runs, references);
        EXPECT_EQ(map.Cells(16, 4), c.expected) << c.name;
    }
}

TEST(RunMap, ACellNamesItsLongestRunAndTheFirstOfEquals) {
    const RunMap map(0x40, {{0x02, 3}, {0x08, 3}, {0x0C, 2}, {0x10, 8}, {0x24, 4}, {0x2A, 5}});
    const auto offsetOfLongest = [&map](std::int64_t first, std::int64_t end) {
        const FreeRun* run = map.LongestRunIn(first, end);
        return run == nullptr ? -1 : run->offset;
    };
    EXPECT_EQ(offsetOfLongest(0x00, 0x10), 0x02);  // not 0x08, as long, nor 0x10, the next cell
    EXPECT_EQ(offsetOfLongest(0x20, 0x30), 0x2A);
    EXPECT_EQ(offsetOfLongest(0x30, 0x40), -1);
    EXPECT_EQ(offsetOfLongest(0x14, 0x18), 0x10);  // a run that began in the cell before
}

}  // namespace
}  // namespace gapwell
