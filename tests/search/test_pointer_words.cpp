#include <gtest/gtest.h>

#include <random>

#include "search/FreeRuns.h"
#include "search/PointerWords.h"
#include "search/Pointers.h"
#include "support/PointersReference.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

// Words picked out while the runs are scanned give the same pointers as a pass over the file,
// and as the plain rule: on random ROMs ending in a free run (so that the highest values of the
// window point into one), with pointers at and around both ends of the ROM in every mirror, Thumb
// bit or not. Where the words cannot all be kept (too many, pieces that split words, more bytes
// than the ROM had), the pass over the file takes over.
TEST(PointerWords, GiveTheSamePointersAsAPassOverTheFile) {
    struct Case {
        const char* name;
        std::size_t romBytes;
        bool mostlyFree;
        std::size_t pointerEvery;  // one word in this many is a pointer
        std::size_t limit;
        std::size_t pieceSize;  // 0: the scan's own pieces
        std::size_t grown;      // bytes fed past the length the words were started with
        bool complete;
    };
    const Case cases[] = {
        {"mostly data, several pieces, a ragged end", 140001, false, 9, PointerWords::kDefaultLimit,
         0, 0, true},
        {"mostly free", 70001, true, 500, PointerWords::kDefaultLimit, 0, 0, true},
        {"more words than the limit", 4099, false, 1, 100, 0, 0, false},
        {"pieces that split words", 4099, false, 5, PointerWords::kDefaultLimit, 1001, 0, false},
        {"a ROM that grew while it was read", 4096, false, 5, PointerWords::kDefaultLimit, 1024, 8,
         false},
    };
    std::mt19937 random(39);
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        std::vector<std::uint8_t> rom(test.romBytes);
        for (std::uint8_t& byte : rom) {
            byte =
                test.mostlyFree && random() % 64 != 0 ? 0xFF : static_cast<std::uint8_t>(random());
        }
        std::fill(rom.end() - 64, rom.end(), 0xFF);
        const auto length = static_cast<std::int64_t>(rom.size());
        for (std::size_t at = 0; at + 4 <= rom.size(); at += 4 * test.pointerEvery) {
            const std::int64_t target =
                random() % 2 == 0 ? random() % (length + 8) - 4 : length - 6 + random() % 12;
            const std::uint32_t base = kRomBases[random() % 3];
            test::PutWord(rom, at, static_cast<std::uint32_t>(base + target) | (random() % 2));
        }
        test::TempFolder folder;
        const std::string path = folder.Write("rom.gba", rom);
        PointerWords words(test.limit);
        std::vector<ByteRange> runs;
        ScanFreeRuns(
            path, 0xFF, 1, 1,
            [&runs](const FreeRun& run) {
                runs.push_back({run.offset, run.offset + run.length});
            },
            test.pieceSize == 0 ? &words : nullptr);
        if (test.pieceSize != 0) {
            words.Start(length - static_cast<std::int64_t>(test.grown));
            for (std::size_t at = 0; at < rom.size(); at += test.pieceSize) {
                words.Feed(rom.data() + at, std::min(test.pieceSize, rom.size() - at));
            }
            words.Finish();
        }
        EXPECT_EQ(words.Complete(), test.complete);
        const std::vector<RangePointers> expected = test::ReferencePointers(rom, runs);
        EXPECT_TRUE(FindPointers(path, runs, kListEveryPointer, &words) == expected);
        EXPECT_TRUE(FindPointers(path, runs) == expected);
    }
}

}  // namespace
}  // namespace gapwell
