#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "search/ByteRange.h"
#include "search/PointerWords.h"
#include "search/WordBlocks.h"

namespace gapwell {

// The word values that point at ROM offset p: 0x08000000 + p and its mirrors at 0x0A000000 and
// 0x0C000000, each also with bit 0 set (a pointer to Thumb code).
inline constexpr std::uint32_t kRomBases[] = {0x08000000, 0x0A000000, 0x0C000000};
inline constexpr std::uint32_t kThumbBit = 1;

// Splits a ROM, fed from offset 0 in pieces of any size, into its 4-byte little-endian words at
// offsets that are multiples of 4 (a word may straddle two pieces; the 1 to 3 bytes after the
// last whole word are no word), and hands on the words that may point into one of a list of byte
// ranges. Most words point into none: a small table turns them away, several at a time, so the
// words handed on are few, though not all of them point into a range.
class WordSieve {
  public:
    using Sink = std::function<void(std::int64_t offset, std::uint32_t value)>;

    // `ranges` in file order (first and end non-decreasing), each with first <= end.
    WordSieve(const std::vector<ByteRange>& ranges, Sink sink);

    // The next `size` bytes of the ROM.
    void Feed(const std::uint8_t* data, std::size_t size);
    // Hands on those of `words`, picked out of the whole ROM, that may point into a range: instead
    // of feeding the ROM.
    void FeedWords(const PointerWords::Columns& words);

  private:
    // Sets the granules from `first` to `last` (both included).
    void SetGranules(std::uint32_t first, std::uint32_t last);
    // The words data[from, to) of the current piece, at most kBlockWords of them.
    void SiftWords(const std::uint8_t* data, std::size_t from, std::size_t to);
    // The granule table as plain values, which the compiler keeps in registers through a loop
    // that calls the sink (it cannot know that the sink leaves the members alone).
    struct GranuleView {
        const std::uint64_t* granules;
        std::uint32_t lowestWord;
        int granuleShift;
        std::uint32_t sentinelGranule;

        // 0 when the word points into no range; 1 when it may (the granule table's answer).
        // Values beyond the last granule take the sentinel granule after it, which is never
        // set, so that no branch is needed.
        std::uint32_t MayPointIntoAny(std::uint32_t value) const {
            const std::uint32_t granule =
                std::min((value - lowestWord) >> granuleShift, sentinelGranule);
            return static_cast<std::uint32_t>(granules[granule / 64] >> granule % 64) & 1;
        }
    };
#ifdef GAPWELL_X86_VECTORS
    static std::size_t SiftColumnsAvx2(const GranuleView& view, const PointerWords::Columns& words,
                                       const Sink& sink);
#endif
    GranuleView View() const {
        return {granules_.data(), lowestWord_, granuleShift_, sentinelGranule_};
    }

    Sink sink_;
    // Word values from lowestWord_ to lowestWord_ + wordSpan_ may point into a range; others
    // point into none. lowestWord_ is a multiple of the granule size.
    std::uint32_t lowestWord_ = 0;
    std::uint32_t wordSpan_ = 0;
    // One bit for each granule of 2^granuleShift_ word values from lowestWord_, set when a value
    // in it points into a range in some mirror. Granules are at least 2 values wide and start at
    // even values, so a Thumb pointer's value and its value with bit 0 cleared share a granule.
    int granuleShift_ = 1;
    std::uint32_t sentinelGranule_ = 0;
    std::vector<std::uint64_t> granules_;    // empty when no word can point into any range
    std::int64_t position_ = 0;              // ROM offset of the next piece's first byte
    std::uint8_t partial_[kWordBytes] = {};  // the first bytes of a word the next piece completes
    std::size_t partialSize_ = 0;
};

}  // namespace gapwell
