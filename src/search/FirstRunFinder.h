#pragma once

#include <cstddef>
#include <cstdint>

#include "search/RunFinder.h"

namespace gapwell {

// The first place in a byte stream that arrives in pieces where `needed` bytes equal to `filler`
// follow each other from an offset that is a multiple of `align` (a power of two; 1 aligns
// nothing), known as soon as the piece that completes them has been fed, so the caller can stop
// reading there. Offsets count from `firstOffset`, the offset of the stream's first byte.
class FirstRunFinder {
  public:
    FirstRunFinder(std::uint8_t filler, std::int64_t needed, std::int64_t align = 1,
                   std::int64_t firstOffset = 0);
    FirstRunFinder(const FirstRunFinder&) = delete;
    FirstRunFinder& operator=(const FirstRunFinder&) = delete;

    // The next `size` bytes of the stream; true once the first run has been found.
    bool Feed(const std::uint8_t* data, std::size_t size);
    // The offset of the first run's first (aligned) byte, or -1 while none has been found.
    std::int64_t Offset() const { return offset_; }

  private:
    std::int64_t offset_ = -1;
    RunFinder runs_;
};

}  // namespace gapwell
