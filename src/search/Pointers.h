#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "search/ByteRange.h"
#include "search/PointerWords.h"
#include "search/WordSieve.h"

namespace gapwell {

// The words of a ROM that point into one range.
struct RangePointers {
    // File offsets of the words that point exactly at the range's first byte, in file order; at
    // most the listing limit of the search, so a hostile file cannot fill the memory.
    std::vector<std::int64_t> atStart;
    // How many words point exactly at the first byte (all of them, listed or not).
    std::int64_t atStartCount = 0;
    // How many words point at any byte of the range, those at its first byte included.
    std::int64_t inside = 0;

    bool operator==(const RangePointers&) const = default;
};

inline constexpr std::size_t kListEveryPointer = std::numeric_limits<std::size_t>::max();

// Where the game may point into free space. A GBA pointer to ROM offset p is a 4-byte
// little-endian word, at an offset that is a multiple of 4, holding 0x08000000 + p, or the same in
// the mirrors at 0x0A000000 and 0x0C000000; a pointer to Thumb code has bit 0 set as well, so a
// word also points where its value with bit 0 cleared does. A word that points into a range
// several ways counts once for it.
//
// The finder is fed the ROM from offset 0 in pieces of any size; a word may straddle two pieces,
// and the 1 to 3 bytes after the last whole word are no word. Memory is bounded by the ranges
// and the listed offsets, not by the ROM.
class PointerFinder {
  public:
    // `ranges` must have first <= end, and both first and end non-decreasing from one range to
    // the next (disjoint runs in file order, or equally long ranges at rising offsets); anything
    // else throws RuntimeError. Each range lists at most `listLimit` offsets.
    PointerFinder(std::vector<ByteRange> ranges, std::size_t listLimit);
    PointerFinder(const PointerFinder&) = delete;
    PointerFinder& operator=(const PointerFinder&) = delete;

    // The next `size` bytes of the ROM.
    void Feed(const std::uint8_t* data, std::size_t size) { sieve_.Feed(data, size); }
    // The words of the whole ROM that may point into it, picked out already: instead of feeding
    // the ROM.
    void FeedWords(const PointerWords& words) {
        for (std::size_t chunk = 0; chunk < words.ChunkCount(); ++chunk) {
            sieve_.FeedWords(words.Chunk(chunk));
        }
    }
    // Counts the word at `offset` holding `value` where it points: for words already picked out
    // of the ROM, in file order, instead of feeding the ROM.
    void CheckWord(std::int64_t offset, std::uint32_t value);
    // The references of each range, in the order of the ranges.
    const std::vector<RangePointers>& Pointers() const { return references_; }
    std::vector<RangePointers> TakePointers() { return std::move(references_); }

  private:
    // The bucket index of the ranges.
    void IndexRanges();
    // The indices [first, second) of the ranges that hold `target`.
    std::pair<std::size_t, std::size_t> RangesHolding(std::int64_t target) const;

    std::vector<ByteRange> ranges_;
    std::size_t listLimit_;
    std::vector<RangePointers> references_;
    // The offsets from the first range's first byte to the last range's end cut into buckets of
    // 2^bucketShift_ bytes, about as many as there are ranges; bucketFirst_[b] is the first range
    // that ends after bucket b begins, so finding a target's ranges takes a step or two.
    int bucketShift_ = 0;
    std::vector<std::size_t> bucketFirst_;
    WordSieve sieve_;
};

// One pass over the file with a PointerFinder; none when `words`, picked out
// of the same file, are complete. Refuses what ReadOnlyFile refuses (folders, FIFOs, devices) and
// never writes. Throws RuntimeError on read failures and bad ranges.
std::vector<RangePointers> FindPointers(const std::string& path, std::vector<ByteRange> ranges,
                                        std::size_t listLimit = kListEveryPointer,
                                        const PointerWords* words = nullptr);

}  // namespace gapwell
