#pragma once

#include <cstddef>
#include <cstdint>

#include "search/RunFinder.h"

namespace gapwell {

// The first place in a byte stream that arrives in pieces where `needed` bytes equal to `filler`
// follow each other, known as soon as the piece that completes them has been fed, so the caller
// can stop reading there.
class FirstRunFinder {
  public:
    FirstRunFinder(std::uint8_t filler, std::int64_t needed);
    FirstRunFinder(const FirstRunFinder&) = delete;
    FirstRunFinder& operator=(const FirstRunFinder&) = delete;

    // The next `size` bytes of the stream; true once the first run has been found.
    bool Feed(const std::uint8_t* data, std::size_t size);
    // The stream offset of the first run's first byte, or -1 while none has been found.
    std::int64_t Offset() const { return offset_; }

  private:
    std::int64_t offset_ = -1;
    RunFinder runs_;
};

}  // namespace gapwell
