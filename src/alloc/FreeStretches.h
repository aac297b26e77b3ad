#pragma once

#include <cstdint>
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
    std::optional<std::int64_t> Take(std::int64_t size, std::int64_t align);
    // The longest stretch (ties: the lowest offset); empty when there is none.
    ByteRange Longest() const;

  private:
    std::set<std::pair<std::int64_t, std::int64_t>> byLength_;  // (length, first)
};

// `stretches` (sorted, disjoint) less the bytes of `taken` (any order, may overlap).
std::vector<ByteRange> Subtract(const std::vector<ByteRange>& stretches,
                                std::vector<ByteRange> taken);

}  // namespace gapwell
