#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gapwell {

// A maximal run of the filler byte, and whether a word of the ROM points at its first byte or
// into its margin (the pointer rule of `References`, widened to the margin): then it is data that
// only looks free.
struct FillerRun {
    std::int64_t first = 0;
    std::int64_t end = 0;
    bool pointedAt = false;
};

// Every maximal run of `filler` in the file that is at least `shortest` bytes long, in file
// order: one pass over the file for the runs, one for the pointers into their first `margin`
// bytes (at least the first byte). A file shorter than `length` counts as grown to it with the
// filler byte. Refuses what ReadOnlyFile refuses; throws RuntimeError on read failures.
std::vector<FillerRun> SurveyFillerRuns(const std::string& path, std::uint8_t filler,
                                        std::int64_t shortest, std::int64_t margin,
                                        std::int64_t length);

}  // namespace gapwell
