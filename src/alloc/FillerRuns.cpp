#include "alloc/FillerRuns.h"

#include <algorithm>

#include "search/PieceReader.h"
#include "search/Pointers.h"
#include "search/ReadOnlyFile.h"
#include "search/RunFinder.h"

namespace gapwell {

std::vector<FillerRun> SurveyFillerRuns(const std::string& path, std::uint8_t filler,
                                        std::int64_t shortest, std::int64_t margin) {
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
    // A word pointing into the margin points at data that only looks free, as one pointing at
    // the first byte does (a list's FF FF FF FF terminator followed by blank tiles). Only the
    // counts matter: no offset is listed.
    for (ByteRange& run : runs) {
        run.end = std::min(run.end, run.first + std::max<std::int64_t>(margin, 1));
    }
    PointerFinder pointerFinder(std::move(runs), 0);
    reader.ReadWhole([&pointerFinder](const std::uint8_t* piece, std::size_t size) {
        pointerFinder.Feed(piece, size);
    });
    const std::vector<RangePointers>& pointers = pointerFinder.Pointers();
    for (std::size_t i = 0; i < surveyed.size(); ++i) {
        surveyed[i].pointedAt = pointers[i].inside > 0;
    }
    return surveyed;
}

}  // namespace gapwell
