#pragma once

#include <cstdint>
#include <optional>

#include "search/FreeRuns.h"

namespace gapwell {

// The bytes a cell of the free-space map stands for when `cellCount` cells show a ROM of
// `romSize` bytes: round numbers (powers of two up to 16, then multiples of 16), so that rows
// start at readable offsets, and at least 1.
std::int64_t MapBytesPerCell(std::int64_t romSize, std::int64_t cellCount);

// Where Search must start to list `run` (the aligned part of a usable run) first. Search never
// reports offset 0, so a run there is searched from its next aligned offset when it still holds
// `needed` bytes from there, and not at all otherwise.
std::optional<std::int64_t> SearchStartFor(const FreeRun& run, std::int64_t needed,
                                           std::int64_t alignment);

}  // namespace gapwell
