#include "alloc/FillerRuns.h"

#include "search/PieceReader.h"
#include "search/Pointers.h"
#include "search/ReadOnlyFile.h"
#include "search/RunFinder.h"

namespace gapwell {

std::vector<FillerRun> SurveyFillerRuns(const std::string& path, std::uint8_t filler,
                                        std::int64_t shortest) {
    const ReadOnlyFile file(path);
    PieceReader reader(file);
    std::vector<ByteRange> runs;
    RunFinder runFinder(filler, shortest, 1, [&runs](const FreeRun& run) {
        runs.push_back({run.offset, run.offset + run.length});
    });
    reader.ReadWhole(
        [&runFinder](const std::uint8_t* piece, std::size_t size) { runFinder.Feed(piece, size); });
    runFinder.Finish();

    std::vector<FillerRun> surveyed;
    surveyed.reserve(runs.size());
    for (const ByteRange& run : runs) {
        surveyed.push_back({run.first, run.end, false});
    }
    if (runs.empty()) {
        return surveyed;
    }
    // Only the count of the words at each run's first byte matters: none are listed.
    PointerFinder pointerFinder(std::move(runs), 0);
    reader.ReadWhole([&pointerFinder](const std::uint8_t* piece, std::size_t size) {
        pointerFinder.Feed(piece, size);
    });
    const std::vector<RangePointers>& pointers = pointerFinder.Pointers();
    for (std::size_t i = 0; i < surveyed.size(); ++i) {
        surveyed[i].pointedAt = pointers[i].atStartCount > 0;
    }
    return surveyed;
}

}  // namespace gapwell
