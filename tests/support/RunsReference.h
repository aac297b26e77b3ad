#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace gapwell::test {

using Runs = std::vector<std::pair<std::int64_t, std::int64_t>>;  // (offset, length)

// The runs that RunFinder reports, worked out byte by byte: every maximal run of `filler`
// whose part from its first `align`ed offset on is at least `needed` bytes long.
Runs ReferenceRuns(const std::vector<std::uint8_t>& data, std::uint8_t filler, std::int64_t needed,
                   std::int64_t align);

}  // namespace gapwell::test
