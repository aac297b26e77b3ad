#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "search/PointerWords.h"

namespace gapwell {

struct FreeRun {
    std::int64_t offset = 0;  // first offset of the run, rounded up to the alignment
    std::int64_t length = 0;  // bytes from there to the run's end
};

// Calls `report` for every maximal run of `filler` in the whole file (chunk boundaries play no
// part) whose part from the first `align`ed offset on is at least `needed` bytes long, in file
// order. `align` is a power of two, `needed` at least 1. With `words`, the same reading of each
// piece also picks out the words that may point into the file, for FindPointers. Throws
// RuntimeError on read failures.
void ScanFreeRuns(const std::string& path, std::uint8_t filler, std::int64_t needed,
                  std::int64_t align, const std::function<void(const FreeRun&)>& report,
                  PointerWords* words = nullptr);

}  // namespace gapwell
