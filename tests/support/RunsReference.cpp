#include "support/RunsReference.h"

namespace gapwell::test {

Runs ReferenceRuns(const std::vector<std::uint8_t>& data, std::uint8_t filler, std::int64_t needed,
                   std::int64_t align) {
    Runs runs;
    const auto size = static_cast<std::int64_t>(data.size());
    std::int64_t p = 0;
    while (p < size) {
        if (data[p] != filler) {
            ++p;
            continue;
        }
        const std::int64_t start = p;
        while (p < size && data[p] == filler) {
            ++p;
        }
        std::int64_t aligned = start;
        while (aligned % align != 0) {
            ++aligned;
        }
        if (p - aligned >= needed) {
            runs.emplace_back(aligned, p - aligned);
        }
    }
    return runs;
}

}  // namespace gapwell::test
