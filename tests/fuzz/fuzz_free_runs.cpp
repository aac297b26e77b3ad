// The run finders against plain byte-by-byte references: RunFinder (the scan's, fed in pieces of
// fuzzed sizes) and FindRun (the search's). Any mismatch aborts.
#include <cstdlib>
#include <vector>

#include "search/FindRun.h"
#include "search/RunFinder.h"
#include "support/RunsReference.h"

namespace {

std::size_t ReferenceFindRun(const std::vector<std::uint8_t>& data, std::uint8_t filler,
                             std::size_t needed) {
    std::size_t length = 0;
    for (std::size_t p = 0; p < data.size(); ++p) {
        length = data[p] == filler ? length + 1 : 0;
        if (length == needed) {
            return p + 1 - needed;
        }
    }
    return gapwell::kNoRun;
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
    gapwell::RunFinder finder(filler, needed, align, collect);
    for (std::size_t at = 0; at < data.size(); at += piece) {
        finder.Feed(data.data() + at, std::min(piece, data.size() - at));
    }
    finder.Finish();

    const auto neededBytes = static_cast<std::size_t>(needed);
    if (fed != expected || gapwell::FindRun(data.data(), data.size(), filler, neededBytes) !=
                               ReferenceFindRun(data, filler, neededBytes)) {
        std::abort();
    }
    return 0;
}
