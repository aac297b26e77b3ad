#include "search/FindAlignedRun.h"

#include "search/FindRun.h"

namespace gapwell {

std::size_t FindAlignedRun(const std::uint8_t* data, std::size_t size, std::uint8_t filler,
                           std::size_t needed, std::int64_t dataOffset, std::int64_t alignment) {
    if (alignment == 1) {
        return FindRun(data, size, filler, needed);
    }
    std::size_t from = 0;  // data[from - 1] is no filler, or from is 0
    while (from < size) {
        const std::size_t found = FindRun(data + from, size - from, filler, needed);
        if (found == kNoRun) {
            return kNoRun;
        }
        const std::size_t start = from + found;
        std::size_t end = start + needed;
        while (end < size && data[end] == filler) {
            ++end;
        }
        const auto toAligned = static_cast<std::size_t>(
            -(dataOffset + static_cast<std::int64_t>(start)) & (alignment - 1));
        if (end - start >= toAligned + needed) {
            return start + toAligned;
        }
        from = end;
    }
    return kNoRun;
}

}  // namespace gapwell
