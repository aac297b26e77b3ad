#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "search/ByteRange.h"

namespace gapwell {

// Bytes that more than one party changes: adjacent bytes merged into one range, with every
// patch (by its index) that changes some of them.
struct Collision {
    ByteRange bytes;
    std::vector<std::size_t> patches;  // ascending
    std::string block;                 // the ledger block that owns the bytes; empty for patches
};

// A block of the ledger: bytes that one earlier run placed data in.
struct OwnedBytes {
    std::string name;
    ByteRange bytes;
};

// `changes` holds, for each patch, the ranges it changes (as ChangedRanges gives them: in order,
// disjoint). Returns the ranges that two patches or more both change, in offset order, then for
// each block of `owned` (in its order) the ranges of it that some patch changes.
std::vector<Collision> FindCollisions(const std::vector<std::vector<ByteRange>>& changes,
                                      const std::vector<OwnedBytes>& owned);

}  // namespace gapwell
