#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "search/ByteRange.h"

namespace gapwell {

// The stretches of a ROM still free for new blocks, handed out best fit.
class FreeStretches {
  public:
    // `stretch` overlaps no stretch added before; an empty one is left out.
    void Add(ByteRange stretch);
    // Takes `size` bytes at a multiple of `align` (a power of two) out of the stretch that leaves
    // the least free (ties: the lowest offset), at the lowest such offset in it, and returns that
    // offset; nothing when no stretch has room.
    // The walk is over the stretches long enough for `size`, or over the multiples of `align` up
    // to the last stretch's end, whichever are fewer: a huge alignment costs a few steps, not a
    // walk of every stretch.
    std::optional<std::int64_t> Take(std::int64_t size, std::int64_t align);
    // The longest stretch (ties: the lowest offset); empty when there is none.
    ByteRange Longest() const;

  private:
    // A stretch, as (length, first), and the offset in it that a block would take.
    struct Choice {
        std::pair<std::int64_t, std::int64_t> stretch;
        std::int64_t offset = 0;
    };
    // The preferred choice, found by walking the stretches long enough for `size`.
    std::optional<Choice> BestByLength(std::int64_t size, std::int64_t align) const;
    // The same choice, found by walking the multiples of `align`.
    std::optional<Choice> BestByAlignment(std::int64_t size, std::int64_t align) const;

    std::set<std::pair<std::int64_t, std::int64_t>> byLength_;  // (length, first)
    std::map<std::int64_t, std::int64_t> byFirst_;              // first -> end
};

// `stretches` (sorted, disjoint) less the bytes of `taken` (any order, may overlap).
std::vector<ByteRange> Subtract(const std::vector<ByteRange>& stretches,
                                std::vector<ByteRange> taken);

}  // namespace gapwell
