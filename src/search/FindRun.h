#pragma once

#include <cstddef>
#include <cstdint>

namespace gapwell {

inline constexpr std::size_t kNoRun = static_cast<std::size_t>(-1);

// The leftmost position p with data[p .. p+needed) all equal to `filler`, or kNoRun.
// Each candidate window is checked from its end backwards and a mismatch skips every window that
// contains it, so on typical data only about one byte in `needed` is looked at. Bytes already
// known to be filler are never looked at again, so the work stays linear on any data.
std::size_t FindRun(const std::uint8_t* data, std::size_t size, std::uint8_t filler,
                    std::size_t needed);

}  // namespace gapwell
