#include <gtest/gtest.h>

#include <random>

#include "base/RuntimeError.h"
#include "search/FreeRuns.h"
#include "search/Numbers.h"
#include "search/RomFacts.h"
#include "search/RunFinder.h"
#include "support/RunsReference.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using test::BytesWithRun;
using test::TempFolder;

std::vector<std::pair<std::int64_t, std::int64_t>> Scan(const std::string& file,
                                                        std::uint8_t filler, std::int64_t needed,
                                                        std::int64_t align) {
    std::vector<std::pair<std::int64_t, std::int64_t>> runs;
    ScanFreeRuns(file, filler, needed, align,
                 [&](const FreeRun& run) { runs.emplace_back(run.offset, run.length); });
    return runs;
}

TEST(ScanFreeRuns, ListsMaximalRunsAcrossChunkBoundariesAndFileEnds) {
    TempFolder folder;
    auto bytes = BytesWithRun(3 * 0x100000, 0x42, 0, 0x20, 0xFF);  // a run at offset 0
    for (std::size_t i = 0xFFF00; i < 0x100100; ++i) {
        bytes[i] = 0xFF;  // crosses the first 1 MiB boundary
    }
    for (std::size_t i = bytes.size() - 0x31; i < bytes.size(); ++i) {
        bytes[i] = 0xFF;  // ends the file
    }
    const auto rom = folder.Write("runs.gba", bytes);
    using Runs = std::vector<std::pair<std::int64_t, std::int64_t>>;
    EXPECT_EQ(Scan(rom, 0xFF, 0x20, 1),
              (Runs{{0, 0x20}, {0xFFF00, 0x200}, {0x300000 - 0x31, 0x31}}));
    EXPECT_EQ(Scan(rom, 0xFF, 0x21, 1), (Runs{{0xFFF00, 0x200}, {0x300000 - 0x31, 0x31}}));
    // Alignment moves the offset up and shortens the usable length.
    EXPECT_EQ(Scan(rom, 0xFF, 0x20, 0x40), (Runs{{0, 0x20}, {0xFFF00, 0x200}}));
    EXPECT_EQ(Scan(rom, 0xFF, 0x1, 0x400), (Runs{{0, 0x20}, {0x100000, 0x100}}));
    EXPECT_EQ(Scan(rom, 0x00, 1, 1), Runs{});
}

TEST(ScanFreeRuns, RejectsBadArguments) {
    TempFolder folder;
    const auto rom = folder.Write("rom.gba", {1, 2, 3});
    EXPECT_THROW(Scan(rom, 0xFF, 0, 1), RuntimeError);
    EXPECT_THROW(Scan(rom, 0xFF, 1, 3), RuntimeError);
    EXPECT_THROW(Scan((folder.Path() / "missing.gba").string(), 0xFF, 1, 1), RuntimeError);
}

// Random streams of mostly filler, fed in pieces of random sizes, for needed lengths on both
// sides of the point where the finder switches from memchr to probing every needed-th byte.
TEST(RunFinder, AgreesWithAByteByByteModelWhateverThePieces) {
    std::mt19937 random(8);
    for (int round = 0; round < 400; ++round) {
        const std::vector<std::uint8_t> data = test::RandomStream(random, 3000);
        const std::int64_t needed = 1 + static_cast<std::int64_t>(random() % 40);
        const std::int64_t align = std::int64_t{1} << (random() % 5);
        test::Runs found;
        RunFinder finder(0xFF, needed, align,
                         [&](const FreeRun& run) { found.emplace_back(run.offset, run.length); });
        for (std::size_t fed = 0; fed < data.size();) {
            const std::size_t piece = std::min<std::size_t>(data.size() - fed, random() % 300);
            finder.Feed(data.data() + fed, piece);
            fed += piece;
        }
        finder.Finish();
        ASSERT_EQ(found, test::ReferenceRuns(data, 0xFF, needed, align))
            << "round " << round << " needed " << needed << " align " << align;
    }
}

TEST(RomFacts, ReadsTheHeaderFieldsAndToleratesShortFiles) {
    TempFolder folder;
    std::vector<std::uint8_t> header(0xC0, 0);
    const std::string fields = "SAMPLE TITLE";
    std::copy(fields.begin(), fields.end(), header.begin() + 0xA0);
    for (std::size_t i = 0xA6; i < 0xAC; ++i) {
        header[i] = 0;  // a title shorter than 12 characters is NUL-padded
    }
    const std::string code = "BGPE01";
    std::copy(code.begin(), code.end(), header.begin() + 0xAC);
    const RomFacts facts = ReadRomFacts(folder.Write("rom.gba", header));
    EXPECT_EQ(facts.length, 0xC0);
    EXPECT_EQ(facts.title, "SAMPLE");
    EXPECT_EQ(facts.gameCode, "BGPE");
    EXPECT_EQ(facts.makerCode, "01");
    EXPECT_TRUE(facts.headerComplete);

    header.resize(0xAE);  // ends in the middle of the game code
    const RomFacts shortFacts = ReadRomFacts(folder.Write("short.gba", header));
    EXPECT_EQ(shortFacts.gameCode, "BG");
    EXPECT_EQ(shortFacts.makerCode, "");
    EXPECT_FALSE(shortFacts.headerComplete);
    EXPECT_EQ(RomLength(folder.Write("tiny.gba", {1})), 1);
}

TEST(RomFacts, HeaderTextIsAlwaysPrintable) {
    EXPECT_EQ(HeaderText(std::string("A\0\x1F\x7F", 4)), "A...");
    EXPECT_EQ(HeaderText("\xE9"), "\xC3\xA9");  // Latin-1 e-acute as UTF-8
}

TEST(Numbers, LenientReadingsTakeTheLeadingDigits) {
    EXPECT_EQ(ReadHexLeading("8000"), 32768);
    EXPECT_EQ(ReadHexLeading("ffG1"), 255);
    EXPECT_EQ(ReadHexLeading(""), 0);
    EXPECT_EQ(ReadDecimalLeading("0256"), 256);
    EXPECT_EQ(ReadDecimalLeading("12ab"), 12);
    EXPECT_EQ(ReadDecimalLeading("abc"), 0);
    EXPECT_EQ(ReadDecimalLeading("99999999999999999999999"), INT64_MAX);
    EXPECT_EQ(ToHex(0x1A2B3C), "1A2B3C");
    EXPECT_EQ(ToHex(0), "0");
}

}  // namespace
}  // namespace gapwell
