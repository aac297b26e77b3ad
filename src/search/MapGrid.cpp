#include "search/MapGrid.h"

#include <algorithm>

namespace gapwell {

std::int64_t MapBytesPerCell(std::int64_t romSize, std::int64_t cellCount) {
    const std::int64_t bytes =
        std::max<std::int64_t>(1, (romSize + cellCount - 1) / std::max<std::int64_t>(1, cellCount));
    if (bytes <= 16) {
        std::int64_t power = 1;
        while (power < bytes) {
            power *= 2;
        }
        return power;
    }
    return (bytes + 15) / 16 * 16;
}

std::optional<std::int64_t> SearchStartFor(const FreeRun& run, std::int64_t needed,
                                           std::int64_t alignment) {
    if (run.offset > 0) {
        return run.offset;
    }
    if (run.length - alignment >= needed) {
        return alignment;
    }
    return std::nullopt;
}

}  // namespace gapwell
