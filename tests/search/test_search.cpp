#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "base/RuntimeError.h"
#include "search/FirstRunFinder.h"
#include "search/PieceReader.h"
#include "search/RomFacts.h"
#include "search/modSearchFreeSpace.h"
#include "support/RunsReference.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using test::BytesWithRun;
using test::TempFolder;

constexpr std::int32_t kMiB = 0x100000;

std::int32_t Search(const std::string& file, std::uint8_t filler, std::int32_t needed,
                    std::int32_t start) {
    return SearchFreeSpace(file, filler, needed, start, kSearchChunkSize, 0);
}

TEST(SearchFreeSpace, FindsTheFirstRunAtOrAfterTheStart) {
    TempFolder folder;
    const auto rom = folder.Write("run.gba", BytesWithRun(0x10000, 0x00, 0x2000, 0x300, 0xFF));
    EXPECT_EQ(Search(rom, 0xFF, 0x100, 0), 0x2000);  // the run's first byte, not a later one
    EXPECT_EQ(Search(rom, 0xFF, 0x300, 0), 0x2000);
    EXPECT_EQ(Search(rom, 0xFF, 0x301, 0), 0);
    EXPECT_EQ(Search(rom, 0xFF, 0x100, 0x2001), 0x2001);  // odd offsets are not aligned
    EXPECT_EQ(Search(rom, 0xFF, 1, 0x2005), 0x2005);      // the start itself
    EXPECT_EQ(Search(rom, 0xFF, 0x100, 0x2201), 0);       // fewer left after the start
}

TEST(SearchFreeSpace, ResultZeroMeansNothing) {
    TempFolder folder;
    EXPECT_EQ(Search(folder.Write("empty.gba", {}), 0xFF, 1, 0), 0);
    const auto atZero = folder.Write("zero.gba", BytesWithRun(0x1000, 0x11, 0, 0x400, 0xFF));
    EXPECT_EQ(Search(atZero, 0xFF, 0x100, 0), 0);         // a run at offset 0 cannot be reported
    EXPECT_EQ(Search(atZero, 0xFF, 0x100, 0x1000), 0);    // start at the end
    EXPECT_EQ(Search(atZero, 0xFF, 0x1, 0x1005), 0);      // start past the end
    EXPECT_EQ(Search(atZero, 0xFF, 0x1, 0x7FFFFFFF), 0);  // far past the end
}

TEST(SearchFreeSpace, MatchesLieInsideOneChunkCountedFromTheStart) {
    TempFolder folder;
    const auto rom = folder.Write("cross.gba", BytesWithRun(2 * kMiB, 0x00, 0xFFF80, 256, 0xFF));
    EXPECT_EQ(Search(rom, 0xFF, 256, 0), 0);  // split by the boundary at 0x100000
    EXPECT_EQ(Search(rom, 0xFF, 256, 0xFFF00), 0xFFF80);
    EXPECT_EQ(Search(rom, 0xFF, 128, 0), 0xFFF80);  // the first chunk holds 128 of them
}

TEST(SearchFreeSpace, RunStartedInAnEarlierChunkIsFoundAtTheChunkStart) {
    TempFolder folder;
    const auto rom = folder.Write("long.gba", BytesWithRun(3 * kMiB, 0x00, kMiB - 16, 0x400, 0xFF));
    EXPECT_EQ(Search(rom, 0xFF, 0x100, 0), kMiB);
}

// The file is read in pieces smaller than a chunk; a run may begin in one piece and become long
// enough only in a later one, with piece boundaries counted from the chunk's start.
TEST(SearchFreeSpace, RunsAcrossPiecesInsideAChunkAreFound) {
    constexpr auto kPiece = static_cast<std::int32_t>(kPieceSize);
    TempFolder folder;
    auto bytes = BytesWithRun(2 * kMiB, 0x00, kPiece - 0x100, 0x200, 0xFF);
    std::fill(bytes.begin() + kMiB / 2, bytes.begin() + kMiB / 2 + 3 * kPiece, 0xFF);
    const auto rom = folder.Write("pieces.gba", bytes);
    EXPECT_EQ(Search(rom, 0xFF, 0x200, 0), kPiece - 0x100);
    EXPECT_EQ(Search(rom, 0xFF, 0x200, 0x101), kPiece - 0x100);
    EXPECT_EQ(Search(rom, 0xFF, 0x1FF, kPiece - 0xFF), kPiece - 0xFF);
    EXPECT_EQ(Search(rom, 0xFF, 2 * kPiece + 1, 0), kMiB / 2);
    EXPECT_EQ(Search(rom, 0xFF, 3 * kPiece, 0x333), kMiB / 2);
    EXPECT_EQ(Search(rom, 0xFF, 3 * kPiece + 1, 0), 0);
}

TEST(SearchFreeSpace, NeededAboveTheChunkSizeNeverMatches) {
    TempFolder folder;
    const auto rom = folder.Write("full.gba", std::vector<std::uint8_t>(2 * kMiB + 5, 0xFF));
    EXPECT_EQ(Search(rom, 0xFF, kMiB + 1, 1), 0);
    EXPECT_EQ(Search(rom, 0xFF, kMiB, 1), 1);
}

TEST(SearchFreeSpace, NothingPastTheEndOfTheFileCounts) {
    TempFolder folder;
    for (const std::uint8_t filler : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
        const auto other = static_cast<std::uint8_t>(filler ^ 0x5A);
        // 10 filler bytes end the file; the rest of the chunk buffer must not extend them.
        const auto rom = folder.Write("tail.gba", BytesWithRun(1000, other, 990, 10, filler));
        EXPECT_EQ(Search(rom, filler, 11, 0), 0) << int{filler};
        EXPECT_EQ(Search(rom, filler, 10, 0), 990) << int{filler};
        EXPECT_EQ(Search(rom, filler, 10, 500), 990) << int{filler};
    }
}

TEST(SearchFreeSpace, FailuresAreRunTimeErrors) {
    TempFolder folder;
    const auto rom = folder.Write("rom.gba", std::vector<std::uint8_t>(100, 0xFF));
    EXPECT_THROW(Search(rom, 0xFF, 0, 0), RuntimeError);
    EXPECT_THROW(Search(rom, 0xFF, -5, 0), RuntimeError);
    EXPECT_THROW(Search(rom, 0xFF, 1, -1), RuntimeError);
    EXPECT_THROW(Search(folder.Path().string(), 0xFF, 1, 0), RuntimeError);  // a folder

    const std::string vanished = (folder.Path() / "vanished.gba").string();
    try {
        Search(vanished, 0xFF, 1, 0);
        FAIL() << "a missing ROM must be reported";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), ENOENT);
        EXPECT_NE(error.Description().find("vanished.gba"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(vanished));  // never created
}

// The first p in [from, end) with data[p .. p + needed) all filler inside [from, end), worked
// out byte by byte; -1 when there is none.
std::int64_t ModelFirstRun(const std::vector<std::uint8_t>& data, std::int64_t from,
                           std::int64_t end, std::uint8_t filler, std::int64_t needed) {
    std::int64_t runLength = 0;
    for (std::int64_t p = from; p < end; ++p) {
        runLength = data[p] == filler ? runLength + 1 : 0;
        if (runLength == needed) {
            return p - needed + 1;
        }
    }
    return -1;
}

// The chunk rules spelled out byte by byte, for comparison.
std::int64_t ModelSearch(const std::vector<std::uint8_t>& data, std::uint8_t filler,
                         std::int64_t needed, std::int64_t start, std::int64_t chunk,
                         std::int64_t advance) {
    const auto length = static_cast<std::int64_t>(data.size());
    if (length == 0 || start == length) {
        return 0;
    }
    const std::int64_t lastChunk = (length - start) / chunk;
    for (std::int64_t i = 0; i <= lastChunk; ++i, start += advance) {
        const std::int64_t found =
            ModelFirstRun(data, start, std::min(start + chunk, length), filler, needed);
        if (found >= 0) {
            return found;
        }
    }
    return 0;
}

TEST(SearchFreeSpace, AgreesWithAByteByByteModelOnRandomFiles) {
    TempFolder folder;
    std::mt19937 random(20261207);
    for (int round = 0; round < 300; ++round) {
        const std::uint8_t filler = round % 2 == 0 ? 0xFF : 0x00;
        std::vector<std::uint8_t> data(std::uniform_int_distribution<std::size_t>(0, 600)(random));
        // Runs of filler of random lengths between random other bytes.
        std::size_t i = 0;
        while (i < data.size()) {
            const bool run = random() % 2 == 0;
            const std::size_t length = random() % 24 + 1;
            for (std::size_t k = 0; k < length && i < data.size(); ++k, ++i) {
                data[i] = run ? filler : static_cast<std::uint8_t>(random() % 256);
            }
        }
        const auto rom = folder.Write("random.gba", data);
        const std::int32_t chunk = static_cast<std::int32_t>(random() % 60 + 1);
        const std::uint8_t overlap = round % 5 == 0 ? 1 : 0;
        const std::int32_t needed = static_cast<std::int32_t>(random() % 20 + 1);
        const std::int32_t start = static_cast<std::int32_t>(random() % (data.size() + 10));
        const std::int64_t expected =
            ModelSearch(data, filler, needed, start, chunk, chunk / (overlap + 1));
        EXPECT_EQ(SearchFreeSpace(rom, filler, needed, start, chunk, overlap), expected)
            << "round " << round << " size " << data.size() << " chunk " << chunk << " needed "
            << needed << " start " << start;
    }
}

TEST(FirstRunFinder, StaysCorrectOnRunsOneShortOfTheNeededLength) {
    constexpr std::size_t kNeeded = 64;
    std::vector<std::uint8_t> data;
    for (int block = 0; block < 100; ++block) {
        data.insert(data.end(), kNeeded - 1, 0xFF);
        data.push_back(0x00);
    }
    FirstRunFinder none(0xFF, kNeeded);
    EXPECT_FALSE(none.Feed(data.data(), data.size()));
    EXPECT_EQ(none.Offset(), -1);
    data[kNeeded * 50 - 1] = 0xFF;  // joins two blocks into a run of 2 * 63 + 1
    FirstRunFinder joined(0xFF, kNeeded);
    EXPECT_TRUE(joined.Feed(data.data(), data.size()));
    EXPECT_EQ(joined.Offset(), kNeeded * 49);
}

// Random streams fed in pieces of random sizes: the finder says it has found the first run as soon
// as the bytes fed hold it, not earlier, and names its first byte.
TEST(FirstRunFinder, KnowsTheFirstRunAsSoonAsItsLastByteIsFed) {
    std::mt19937 random(19);
    for (int round = 0; round < 400; ++round) {
        const std::vector<std::uint8_t> data = test::RandomStream(random, 2000);
        const std::int64_t needed = 1 + static_cast<std::int64_t>(random() % 40);
        const auto size = static_cast<std::int64_t>(data.size());
        const std::int64_t expected = ModelFirstRun(data, 0, size, 0xFF, needed);
        FirstRunFinder first(0xFF, needed);
        std::size_t fed = 0;
        while (fed < data.size()) {
            const std::size_t piece = std::min<std::size_t>(data.size() - fed, random() % 100);
            const bool found = first.Feed(data.data() + fed, piece);
            fed += piece;
            const bool complete =
                expected >= 0 && static_cast<std::int64_t>(fed) >= expected + needed;
            ASSERT_EQ(found, complete) << "round " << round << " fed " << fed;
            ASSERT_EQ(first.Offset(), complete ? expected : -1) << "round " << round;
            if (found) {
                break;
            }
        }
    }
}

}  // namespace
}  // namespace gapwell
