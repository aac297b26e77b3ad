#include "search/FindRun.h"

namespace gapwell {

std::size_t FindRun(const std::uint8_t* data, std::size_t size, std::uint8_t filler,
                    std::size_t needed) {
    if (needed == 0 || needed > size) {
        return kNoRun;
    }
    std::size_t start = 0;  // candidate window [start, start + needed)
    std::size_t known = 0;  // [start, known) is known to be filler
    while (needed <= size - start) {
        const std::size_t end = start + needed;
        std::size_t probe = end;
        while (probe > known && data[probe - 1] == filler) {
            --probe;
        }
        if (probe == known) {
            return start;
        }
        // data[probe - 1] is no filler: no window that contains it can match.
        start = probe;
        known = end;
    }
    return kNoRun;
}

}  // namespace gapwell
