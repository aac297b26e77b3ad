#pragma once

#include <cstdint>
#include <vector>

#include "search/Pointers.h"

namespace gapwell::test {

// What FindPointers finds, worked out the plain way: every word at a multiple of 4 against
// every range, every mirror and both readings of bit 0. Lists every offset.
std::vector<RangePointers> ReferencePointers(const std::vector<std::uint8_t>& rom,
                                             const std::vector<ByteRange>& ranges);

// What SearchFreeSpace finds with overlap 0, worked out byte by byte: the first offset from
// `start` on that is a multiple of `alignment` and begins `needed` filler bytes inside one chunk
// of `chunkSize` bytes (chunks counted from `start`) and inside the data; 0 for none.
std::int64_t ReferenceAlignedSearch(const std::vector<std::uint8_t>& rom, std::uint8_t filler,
                                    std::int64_t needed, std::int64_t start, std::int64_t chunkSize,
                                    std::int64_t alignment);

}  // namespace gapwell::test
