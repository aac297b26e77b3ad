// The run finders, fed in pieces of fuzzed sizes, against plain byte-by-byte references:
// RunFinder (the scan's) and FirstRunFinder (the search's, which must know the first run as soon
// as the piece that completes it is fed). Any mismatch aborts.
#include <cstdlib>
#include <vector>

#include "search/FirstRunFinder.h"
#include "search/RunFinder.h"
#include "support/RunsReference.h"

namespace {

// The offset of the first run of `needed` filler bytes, or -1.
std::int64_t ReferenceFirstRun(const std::vector<std::uint8_t>& data, std::uint8_t filler,
                               std::int64_t needed) {
    std::int64_t length = 0;
    for (std::size_t p = 0; p < data.size(); ++p) {
        length = data[p] == filler ? length + 1 : 0;
        if (length == needed) {
            return static_cast<std::int64_t>(p) + 1 - needed;
        }
    }
    return -1;
}

}  // namespace

// Input: filler, needed (1..64), alignment exponent, piece size, then the stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const std::uint8_t filler = input[0];
    const std::int64_t needed = 1 + input[1] % 64;
    const std::int64_t align = std::int64_t{1} << (input[2] % 7);
    const std::size_t piece = 1 + input[3];
    const std::vector<std::uint8_t> data(input + 4, input + size);
    const gapwell::test::Runs expected = gapwell::test::ReferenceRuns(data, filler, needed, align);

    gapwell::test::Runs fed;
    const std::function<void(const gapwell::FreeRun&)> collect = [&](const gapwell::FreeRun& run) {
        fed.emplace_back(run.offset, run.length);
    };
    gapwell::RunFinder runs(filler, needed, align, collect);
    for (std::size_t at = 0; at < data.size(); at += piece) {
        runs.Feed(data.data() + at, std::min(piece, data.size() - at));
    }
    runs.Finish();

    if (fed != expected) {
        std::abort();
    }

    const std::int64_t first = ReferenceFirstRun(data, filler, needed);
    gapwell::FirstRunFinder finder(filler, needed);
    for (std::size_t at = 0; at < data.size(); at += piece) {
        const std::size_t length = std::min(piece, data.size() - at);
        const bool complete =
            first >= 0 && static_cast<std::int64_t>(at + length) >= first + needed;
        if (finder.Feed(data.data() + at, length) != complete ||
            finder.Offset() != (complete ? first : -1)) {
            std::abort();
        }
        if (complete) {
            break;
        }
    }
    return 0;
}
