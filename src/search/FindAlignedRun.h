#pragma once

#include <cstddef>
#include <cstdint>

namespace gapwell {

// The leftmost position p with data[p .. p+needed) all equal to `filler` and `dataOffset` + p a
// multiple of `alignment` (a power of two), or kNoRun. `dataOffset` is the file offset of
// data[0]. With alignment 1 this is FindRun itself; otherwise each run long enough for FindRun
// is tried from its first aligned byte, and the search goes on after the run's end.
std::size_t FindAlignedRun(const std::uint8_t* data, std::size_t size, std::uint8_t filler,
                           std::size_t needed, std::int64_t dataOffset, std::int64_t alignment);

}  // namespace gapwell
