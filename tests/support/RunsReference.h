#pragma once

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace gapwell::test {

using Runs = std::vector<std::pair<std::int64_t, std::int64_t>>;  // (offset, length)

// The runs that RunFinder reports, worked out byte by byte: every maximal run of `filler`
// whose part from its first `align`ed offset on is at least `needed` bytes long.
Runs ReferenceRuns(const std::vector<std::uint8_t>& data, std::uint8_t filler, std::int64_t needed,
                   std::int64_t align);

// Fewer than `maxSize` random bytes: a random share of them 0xFF, the others 0 to 3.
std::vector<std::uint8_t> RandomStream(std::mt19937& random, std::size_t maxSize);

}  // namespace gapwell::test
