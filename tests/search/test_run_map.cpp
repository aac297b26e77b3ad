// The run map's totals for a synthetic run list: which runs count as usable for a needed length
// and an alignment, and which is the largest.

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

}  // namespace
}  // namespace gapwell
