#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "search/ByteRange.h"

namespace gapwell {

inline constexpr std::int64_t kDefaultBlockAlign = 4;
inline constexpr std::int64_t kDefaultMargin = 16;
// Offsets are 32-bit signed: no block, range or ROM reaches beyond this.
inline constexpr std::int64_t kLargestOffset = std::numeric_limits<std::int32_t>::max();

// A named piece of new data that needs a place in the ROM.
struct Block {
    std::string name;
    std::int64_t size = 0;                    // 1 to kLargestOffset
    std::int64_t align = kDefaultBlockAlign;  // a power of two

    bool operator==(const Block&) const = default;
};

// Where a block lies.
struct Placement {
    std::string name;
    std::int64_t offset = 0;
    std::int64_t size = 0;
    std::int64_t align = kDefaultBlockAlign;

    std::int64_t End() const { return offset + size; }
    bool operator==(const Placement&) const = default;
};

struct AllocationRequest {
    std::uint8_t filler = 0xFF;
    std::vector<Block> blocks;
    // The part of the ROM that new places are taken from; an end past the ROM's is its end.
    ByteRange range{0, kLargestOffset + 1};
    // Bytes that no block may take, in any order, overlapping or not.
    std::vector<ByteRange> reserved;
    // What earlier runs placed (the ledger): a block named here keeps its place.
    std::vector<Placement> earlier;
    // Earlier blocks to drop: no longer reserved, or placed anew when still asked for.
    std::vector<std::string> forget;
    // Bytes kept free at the start of every run of the filler byte.
    std::int64_t margin = kDefaultMargin;
    // A ROM shorter than this counts as grown to it with the filler byte (the new ROM is).
    std::int64_t length = 0;
};

struct Allocation {
    // Every block asked for that has a place, in offset order.
    std::vector<Placement> placed;
    // The earlier places of the blocks asked for that could not stay there (they grew, their
    // alignment changed, or they were forgotten), in offset order.
    std::vector<Placement> moved;
    // Earlier blocks no longer asked for and not forgotten: still reserved, in offset order.
    std::vector<Placement> kept;
    // The blocks that did not fit, in the order they were tried (largest first).
    std::vector<Block> unplaced;
    // The largest stretch still free for new blocks (empty when there is none). Runs shorter than
    // the margin and the smallest block asked for count as no free space.
    ByteRange largestFree;

    bool Complete() const { return unplaced.empty(); }
    // What the ledger holds after this run: the placed and the kept blocks, in offset order.
    std::vector<Placement> Ledger() const;
};

// True for letters, digits and "_", not starting with a digit.
bool IsBlockName(const std::string& name);

// Places every block of the request in free space of the ROM at `path`: runs of the filler byte
// whose first byte no word of the ROM points at exactly, from `margin` bytes after each run's
// start, inside the range, clear of the reserved ranges and of every other block. Earlier blocks
// keep their places (a grown one as long as the bytes it grew into are such free space, apart from
// the margin and the pointer rule: what precedes them is the block itself). The largest blocks
// go first (ties: by name), each into the free stretch that it leaves the least of (ties: the
// lowest offset). Reads the ROM twice, front to back (runs, then pointers), in pieces; memory
// is bounded by the runs and the blocks. Throws RuntimeError on read failures and on a request
// that breaks the rules above (bad names, sizes or alignments, names given twice, earlier blocks
// that overlap, or that lie in a reserved range or outside the range, unless forgotten).
Allocation AllocateBlocks(const std::string& path, const AllocationRequest& request);

}  // namespace gapwell
