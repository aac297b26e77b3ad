#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "search/FreeRuns.h"

namespace gapwell {

// Finds the maximal runs of one filler byte in a byte stream that arrives in pieces of any size,
// and reports each run whose part from the first `align`ed offset on is at least `needed` bytes
// long (`align` a power of two, `needed` at least 1). Piece boundaries play no part. Offsets
// count from `firstOffset`, the offset of the stream's first byte, and alignment is of those
// offsets, so a stream that starts inside a file aligns to the file's offsets.
class RunFinder {
  public:
    RunFinder(std::uint8_t filler, std::int64_t needed, std::int64_t align,
              std::function<void(const FreeRun&)> report, std::int64_t firstOffset = 0);

    // The next `size` bytes of the stream.
    void Feed(const std::uint8_t* data, std::size_t size);
    // The stream has ended: reports a run that reaches its end.
    void Finish();
    // The run that reaches the end of the bytes fed so far, as it would be reported if the stream
    // ended here, when it is long enough already; nothing otherwise.
    std::optional<FreeRun> OpenRun() const;

  private:
    // The run from runStart_ to `end` (exclusive), aligned, if it is long enough.
    std::optional<FreeRun> LongEnough(std::int64_t end) const;
    // Reports the run from runStart_ to `end` (exclusive) if it is long enough.
    void EndRun(std::int64_t end);

    std::uint8_t filler_;
    std::size_t needed_;
    std::int64_t align_;
    std::function<void(const FreeRun&)> report_;
    std::int64_t position_;       // stream offset of the next piece
    std::int64_t runStart_ = -1;  // start of a run that may go on in the next piece, or -1
};

}  // namespace gapwell
