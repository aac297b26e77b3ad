#include <gtest/gtest.h>

#include <random>

#include "base/RuntimeError.h"
#include "search/References.h"
#include "support/ReferencesReference.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using test::PutWord;
using test::TempFolder;

std::vector<RangeReferences> FeedInPieces(const std::vector<std::uint8_t>& rom,
                                          const std::vector<ByteRange>& ranges,
                                          std::mt19937& random, std::size_t largestPiece) {
    ReferenceFinder finder(ranges, kListEveryReference);
    for (std::size_t fed = 0; fed < rom.size();) {
        const std::size_t piece =
            std::min<std::size_t>(rom.size() - fed, 1 + random() % largestPiece);
        finder.Feed(rom.data() + fed, piece);
        fed += piece;
    }
    return finder.References();
}

// A free run at 0x1000..0x1100 and words around it of every kind the rule tells apart.
TEST(FindReferences, TellsPointersAtTheStartFromPointersInsideAndNearby) {
    std::vector<std::uint8_t> rom(0x2003, 0x11);  // not a multiple of 4 long
    for (std::size_t i = 0x1000; i < 0x1100; ++i) {
        rom[i] = 0xFF;
    }
    PutWord(rom, 0x100, 0x08001000);  // at the start
    PutWord(rom, 0x104, 0x0A001000);  // at the start, second mirror
    PutWord(rom, 0x108, 0x0C001001);  // Thumb: 0x1001 and 0x1000, third mirror, counted once
    PutWord(rom, 0x10C, 0x08001080);  // inside
    PutWord(rom, 0x110, 0x080010FF);  // last byte (and, Thumb, the one before)
    PutWord(rom, 0x114, 0x08001100);  // one past the end
    PutWord(rom, 0x118, 0x08000FFF);  // one before (Thumb: 0xFFE): outside
    PutWord(rom, 0x11D, 0x08001000);  // unaligned: no word
    PutWord(rom, 0x124, 0x09001000);  // no mirror
    rom[0x2000] = 0x00;  // the last three bytes would read 0x08001000 with a fourth byte
    rom[0x2001] = 0x10;
    rom[0x2002] = 0x00;
    const std::vector<ByteRange> ranges{{0x1000, 0x1100}};

    TempFolder folder;
    const std::vector<RangeReferences> found = FindReferences(folder.Write("rom.gba", rom), ranges);
    ASSERT_EQ(found.size(), 1U);
    EXPECT_EQ(found[0].atStart, (std::vector<std::int64_t>{0x100, 0x104, 0x108}));
    EXPECT_EQ(found[0].atStartCount, 3);
    EXPECT_EQ(found[0].inside, 5);
    EXPECT_TRUE(found[0] == test::ReferenceReferences(rom, ranges)[0]);
}

// Runs in file order and equally long ranges at rising, overlapping offsets (the results of
// Find next), in ROMs full of words that point near them, fed in pieces that split words.
TEST(ReferenceFinder, AgreesWithThePlainRuleWhateverThePieces) {
    std::mt19937 random(18);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint8_t> rom(random() % 600);
        for (std::size_t at = 0; at + 4 <= rom.size(); at += 4) {
            const auto base =
                static_cast<std::uint32_t>(0x08000000U + 0x02000000U * (random() % 3));
            PutWord(rom, at, base + static_cast<std::uint32_t>(random() % 700));
        }
        std::vector<ByteRange> ranges;
        const bool overlapping = round % 2 == 1;
        const std::int64_t length = 1 + static_cast<std::int64_t>(random() % 40);
        for (std::int64_t at = random() % 20; at < 700; at += 1 + random() % 60) {
            if (overlapping) {
                ranges.push_back({at, at + length});
            } else if (ranges.empty() || at >= ranges.back().end) {
                ranges.push_back({at, at + 1 + static_cast<std::int64_t>(random() % 30)});
            }
        }
        const auto expected = test::ReferenceReferences(rom, ranges);
        const auto found = FeedInPieces(rom, ranges, random, 1 + round % 9);
        ASSERT_EQ(found.size(), expected.size());
        for (std::size_t r = 0; r < found.size(); ++r) {
            ASSERT_TRUE(found[r] == expected[r]) << "round " << round << " range " << r;
        }
    }
}

// Ranges far apart, so that the filter's granules are wide, and ranges so high that their values
// in the upper mirrors pass 2^32; words at and around each range's first byte and end in every
// mirror, Thumb bit or not.
TEST(ReferenceFinder, AgreesWithThePlainRuleForWideGranulesAndTheTopWordValues) {
    const std::vector<ByteRange> ranges = {{0x11, 0x31},
                                           {0x12345, 0x12346},
                                           {0x01FFFFFF, 0x02000101},
                                           {0xF3FFFF01, 0xF4000100},
                                           {0xF5FFFFF0, 0xFFFFFFF0}};
    std::vector<std::uint32_t> values = {0, 0xFFFFFFFF, 0xFFFFFFFE, 0x07FFFFFF};
    for (const ByteRange& range : ranges) {
        for (const std::int64_t base : {0x08000000, 0x0A000000, 0x0C000000}) {
            for (const std::int64_t edge : {range.first, range.end}) {
                for (std::int64_t delta = -3; delta <= 3; ++delta) {
                    values.push_back(static_cast<std::uint32_t>(base + edge + delta));
                }
            }
        }
    }
    std::mt19937 random(7);
    std::vector<std::uint8_t> rom(values.size() * 4 + 3);
    for (std::size_t i = 0; i < values.size(); ++i) {
        PutWord(rom, i * 4, values[i]);
    }
    const auto expected = test::ReferenceReferences(rom, ranges);
    EXPECT_GT(expected.back().inside, 0);
    EXPECT_TRUE(FeedInPieces(rom, ranges, random, 7) == expected);
}

// Words read whole from the file, so that the sieve tests blocks of them at once, around ranges
// at the edges of its table: the smallest granules (ranges so high that only a few word values
// point into them) and a block whose one near word is the highest value that points inside.
TEST(FindReferences, AgreesWithThePlainRuleAtTheEdgesOfTheSieve) {
    struct Case {
        const char* name;
        ByteRange range;
        std::uint32_t value;
    };
    const std::vector<Case> cases{
        {"Thumb word at the even last byte, smallest granules",
         {0xF7FFFF00, 0xF7FFFF11},
         0xFFFFFF11},
        {"the highest value pointing inside, alone in its block", {0x100, 0x111}, 0x0C000111},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        std::vector<std::uint8_t> rom(256, 0);
        PutWord(rom, 0x84, c.value);
        const auto expected = test::ReferenceReferences(rom, {c.range});
        ASSERT_EQ(expected[0].inside, 1) << c.name;
        EXPECT_TRUE(FindReferences(folder.Write("rom.gba", rom), {c.range}) == expected) << c.name;
    }
}

TEST(FindReferences, FindsWordsOnBothSidesOfAChunkBoundaryAndInLargeRoms) {
    std::vector<std::uint8_t> rom(0x200002, 0x00);
    PutWord(rom, 0xFFFFC, 0x08180000);   // last word of the first 1 MiB chunk
    PutWord(rom, 0x100000, 0x0A180000);  // first word of the second
    PutWord(rom, 0x1FFFFC, 0x0C180003);  // last whole word; Thumb, inside
    const std::vector<ByteRange> ranges{{0x180000, 0x180004}};
    TempFolder folder;
    const auto found = FindReferences(folder.Write("rom.gba", rom), ranges);
    EXPECT_EQ(found[0].atStart, (std::vector<std::int64_t>{0xFFFFC, 0x100000}));
    EXPECT_EQ(found[0].inside, 3);
}

TEST(FindReferences, ListsAtMostTheLimitButCountsEveryWord) {
    std::vector<std::uint8_t> rom(400, 0xFF);
    for (std::size_t at = 0; at < 200; at += 4) {
        PutWord(rom, at, 0x08000100);
    }
    TempFolder folder;
    const auto found = FindReferences(folder.Write("rom.gba", rom), {{0x100, 0x190}}, 8);
    EXPECT_EQ(found[0].atStart, (std::vector<std::int64_t>{0, 4, 8, 12, 16, 20, 24, 28}));
    EXPECT_EQ(found[0].atStartCount, 50);
    EXPECT_EQ(found[0].inside, 50);
}

TEST(FindReferences, RefusesBadRangesAndFolders) {
    TempFolder folder;
    const std::string rom = folder.Write("rom.gba", std::vector<std::uint8_t>(64, 0));
    EXPECT_THROW(FindReferences(rom, {{10, 5}}), RuntimeError);
    EXPECT_THROW(FindReferences(rom, {{10, 20}, {5, 30}}), RuntimeError);
    EXPECT_THROW(FindReferences(rom, {{10, 20}, {15, 18}}), RuntimeError);
    EXPECT_THROW(FindReferences(rom, {{-1, 20}}), RuntimeError);
    EXPECT_THROW(FindReferences(folder.Path().string(), {{0, 1}}), RuntimeError);
    EXPECT_TRUE(FindReferences(rom, {}).empty());
    // An empty range is no bad range: nothing points into it.
    EXPECT_TRUE(FindReferences(rom, {{10, 10}}) == std::vector<RangeReferences>(1));
}

}  // namespace
}  // namespace gapwell
