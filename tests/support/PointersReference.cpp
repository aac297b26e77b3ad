#include "support/PointersReference.h"

#include <algorithm>

namespace gapwell::test {

std::vector<RangePointers> ReferencePointers(const std::vector<std::uint8_t>& rom,
                                             const std::vector<ByteRange>& ranges) {
    std::vector<RangePointers> found(ranges.size());
    for (std::size_t at = 0; at + 4 <= rom.size(); at += 4) {
        const std::uint32_t value = rom[at] | rom[at + 1] << 8 | rom[at + 2] << 16 |
                                    static_cast<std::uint32_t>(rom[at + 3]) << 24;
        for (std::size_t r = 0; r < ranges.size(); ++r) {
            bool inside = false;
            bool atStart = false;
            for (const std::int64_t base : {0x08000000, 0x0A000000, 0x0C000000}) {
                for (const std::int64_t plain : {std::int64_t{value}, std::int64_t{value & ~1U}}) {
                    const std::int64_t target = plain - base;
                    inside = inside || (target >= ranges[r].first && target < ranges[r].end);
                    atStart = atStart || (target == ranges[r].first && target < ranges[r].end);
                }
            }
            found[r].inside += inside ? 1 : 0;
            if (atStart) {
                ++found[r].atStartCount;
                found[r].atStart.push_back(static_cast<std::int64_t>(at));
            }
        }
    }
    return found;
}

std::int64_t ReferenceAlignedSearch(const std::vector<std::uint8_t>& rom, std::uint8_t filler,
                                    std::int64_t needed, std::int64_t start, std::int64_t chunkSize,
                                    std::int64_t alignment) {
    const auto length = static_cast<std::int64_t>(rom.size());
    for (std::int64_t chunk = start; chunk < length; chunk += chunkSize) {
        const std::int64_t chunkEnd = std::min(chunk + chunkSize, length);
        for (std::int64_t at = chunk; at + needed <= chunkEnd; ++at) {
            if (at % alignment == 0 &&
                std::all_of(rom.begin() + at, rom.begin() + at + needed,
                            [filler](std::uint8_t byte) { return byte == filler; })) {
                return at;
            }
        }
    }
    return 0;
}

}  // namespace gapwell::test
