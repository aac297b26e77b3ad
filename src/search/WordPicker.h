#pragma once

#include <cstddef>
#include <cstdint>

#include "search/WordBlocks.h"

namespace gapwell {

// Where a picker writes the words it picks: each one's offset divided by 4, and its value.
struct WordOutput {
    std::uint32_t* indices;
    std::uint32_t* values;
};

// Picks out of data[0, size) (size a multiple of 4, the first word at ROM word `firstIndex`) the
// words whose value lies from `lowest` to `lowest + span`, both included (`span` below
// 2^32 - 1), writes them to `out` in file order and returns how many it wrote. Room for size / 4
// words must be there: past those it returns, a picker may have written scratch that the next
// words overwrite.
using WordPicker = std::size_t (*)(const std::uint8_t* data, std::size_t size,
                                   std::uint32_t firstIndex, std::uint32_t lowest,
                                   std::uint32_t span, WordOutput out);

// The fastest picker this processor runs.
WordPicker FastestWordPicker();

// Tests the words a block of 32 at a time (16-byte vectors where the compiler has them), then
// writes those found one by one.
std::size_t PickWordsPortable(const std::uint8_t* data, std::size_t size, std::uint32_t firstIndex,
                              std::uint32_t lowest, std::uint32_t span, WordOutput out);

#ifdef GAPWELL_X86_VECTORS
// With AVX2: eight words at a time are tested and those found moved to the front of the vector,
// which is written whole, so that no branch depends on the data. Only on processors with AVX2.
std::size_t PickWordsAvx2(const std::uint8_t* data, std::size_t size, std::uint32_t firstIndex,
                          std::uint32_t lowest, std::uint32_t span, WordOutput out);
#endif

}  // namespace gapwell
