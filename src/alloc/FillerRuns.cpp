#include "alloc/FillerRuns.h"

#include <algorithm>
#include <functional>

#include "search/PieceReader.h"
#include "search/Pointers.h"
#include "search/ReadOnlyFile.h"
#include "search/RunFinder.h"

namespace gapwell {

namespace {

using Feed = std::function<void(const std::uint8_t* piece, std::size_t size)>;

// Feeds the whole file, then as many filler bytes as it falls short of `length`.
void ReadGrown(PieceReader& reader, std::uint8_t filler, std::int64_t length, const Feed& feed) {
    std::int64_t fed = 0;
    reader.ReadWhole([&feed, &fed](const std::uint8_t* piece, std::size_t size) {
        feed(piece, size);
        fed += static_cast<std::int64_t>(size);
    });
    const std::vector<std::uint8_t> growth(kPieceSize, filler);
    while (fed < length) {
        const auto size = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(growth.size()), length - fed));
        feed(growth.data(), size);
        fed += static_cast<std::int64_t>(size);
    }
}

}  // namespace

std::vector<FillerRun> SurveyFillerRuns(const std::string& path, std::uint8_t filler,
                                        std::int64_t shortest, std::int64_t margin,
                                        std::int64_t length) {
    const ReadOnlyFile file(path);
    PieceReader reader(file);
    std::vector<ByteRange> runs;
    RunFinder runFinder(filler, shortest, 1, [&runs](const FreeRun& run) {
        runs.push_back({run.offset, run.offset + run.length});
    });
    ReadGrown(reader, filler, length, [&runFinder](const std::uint8_t* piece, std::size_t size) {
        runFinder.Feed(piece, size);
    });
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
    ReadGrown(reader, filler, length,
              [&pointerFinder](const std::uint8_t* piece, std::size_t size) {
                  pointerFinder.Feed(piece, size);
              });
    const std::vector<RangePointers>& pointers = pointerFinder.Pointers();
    for (std::size_t i = 0; i < surveyed.size(); ++i) {
        surveyed[i].pointedAt = pointers[i].inside > 0;
    }
    return surveyed;
}

}  // namespace gapwell
