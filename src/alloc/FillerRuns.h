#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gapwell {

// A maximal run of the filler byte, and whether a word of the ROM points exactly at its first
// byte (the pointer rule of `References`): then it is data that only looks free.
struct FillerRun {
    std::int64_t first = 0;
    std::int64_t end = 0;
    bool pointedAt = false;
};

// Every maximal run of `filler` in the file that is at least `shortest` bytes long, in file
// order: one pass over the file for the runs, one for the pointers into them. Refuses what
// ReadOnlyFile refuses; throws RuntimeError on read failures.
std::vector<FillerRun> SurveyFillerRuns(const std::string& path, std::uint8_t filler,
                                        std::int64_t shortest);

}  // namespace gapwell
