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

std::vector<std::uint8_t> RandomStream(std::mt19937& random, std::size_t maxSize) {
    std::vector<std::uint8_t> data(random() % maxSize);
    const int fillerPercent = static_cast<int>(random() % 100);
    for (auto& byte : data) {
        byte = static_cast<int>(random() % 100) < fillerPercent ? 0xFF : random() % 4;
    }
    return data;
}

}  // namespace gapwell::test
