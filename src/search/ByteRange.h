#pragma once

#include <cstdint>

namespace gapwell {

// The bytes [first, end) of a ROM.
struct ByteRange {
    std::int64_t first = 0;
    std::int64_t end = 0;
};

}  // namespace gapwell
