#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>

#include "search/FreeRuns.h"
#include "search/PieceReader.h"
#include "search/PointerWords.h"
#include "search/Pointers.h"
#include "search/WordPicker.h"
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

// A ROM whose every word may point into it fills more than one chunk: every word is kept, in
// file order, across the chunks.
TEST(PointerWords, KeepEveryWordAcrossChunks) {
    constexpr std::size_t kWords = 600001;
    std::vector<std::uint8_t> rom(kWords * 4);
    for (std::size_t word = 0; word < kWords; ++word) {
        test::PutWord(rom, word * 4, static_cast<std::uint32_t>(0x08000000 + word * 4));
    }
    PointerWords words;
    words.Start(static_cast<std::int64_t>(rom.size()));
    for (std::size_t at = 0; at < rom.size(); at += kPieceSize) {
        words.Feed(rom.data() + at, std::min(kPieceSize, rom.size() - at));
    }
    words.Finish();
    ASSERT_TRUE(words.Complete());
    ASSERT_GT(words.ChunkCount(), 1U);
    std::size_t next = 0;
    for (std::size_t chunk = 0; chunk < words.ChunkCount(); ++chunk) {
        const PointerWords::Columns columns = words.Chunk(chunk);
        for (std::size_t word = 0; word < columns.count; ++word, ++next) {
            ASSERT_EQ(columns.indices[word], next);
            ASSERT_EQ(columns.values[word], 0x08000000 + next * 4);
        }
    }
    EXPECT_EQ(next, kWords);
}

// Each picker this processor runs picks the same words as the plain rule, in file order, and
// writes nothing past the room for every word of its data: for lengths that end inside a vector
// or a group of vectors, values at and beside both ends of the window, and windows of small and
// large ROMs.
TEST(WordPicker, EveryPickerPicksTheWordsInTheWindow) {
    std::vector<std::pair<const char*, WordPicker>> pickers = {{"portable", PickWordsPortable}};
#ifdef GAPWELL_X86_VECTORS
    if (ProcessorHasAvx2()) {
        pickers.emplace_back("AVX2", PickWordsAvx2);
    }
#endif
    struct Window {
        std::uint32_t lowest;
        std::uint32_t span;
    };
    const Window windows[] = {{0x08000000, 0x06000000}, {0x08000000, 0x04000100}, {0, 0}};
    const std::size_t lengths[] = {0, 4, 28, 32, 36, 252, 256, 260, 4108};
    constexpr std::uint32_t kGuard = 0xDEADBEEF;
    std::mt19937 random(39);
    for (const Window& window : windows) {
        const std::uint32_t near[] = {window.lowest - 1,           window.lowest,
                                      window.lowest + 1,           window.lowest + window.span - 1,
                                      window.lowest + window.span, window.lowest + window.span + 1};
        for (const std::size_t length : lengths) {
            std::vector<std::uint8_t> data(length);
            std::vector<std::uint32_t> expectedIndices;
            std::vector<std::uint32_t> expectedValues;
            for (std::size_t at = 0; at < length; at += 4) {
                const auto value =
                    static_cast<std::uint32_t>(random() % 3 == 0 ? near[random() % 6] : random());
                test::PutWord(data, at, value);
                if (value - window.lowest <= window.span) {
                    expectedIndices.push_back(static_cast<std::uint32_t>(1000 + at / 4));
                    expectedValues.push_back(value);
                }
            }
            for (const auto& [name, pick] : pickers) {
                SCOPED_TRACE(std::string(name) + ", " + std::to_string(length) + " bytes, window " +
                             std::to_string(window.lowest) + "+" + std::to_string(window.span));
                // Room for every word, then guards that must stay as they are.
                std::vector<std::uint32_t> indices(length / 4 + 8, kGuard);
                std::vector<std::uint32_t> values(length / 4 + 8, kGuard);
                const std::size_t picked = pick(data.data(), length, 1000, window.lowest,
                                                window.span, {indices.data(), values.data()});
                ASSERT_EQ(picked, expectedIndices.size());
                EXPECT_TRUE(
                    std::equal(expectedIndices.begin(), expectedIndices.end(), indices.begin()));
                EXPECT_TRUE(
                    std::equal(expectedValues.begin(), expectedValues.end(), values.begin()));
                EXPECT_EQ(std::count(indices.end() - 8, indices.end(), kGuard), 8);
                EXPECT_EQ(std::count(values.end() - 8, values.end(), kGuard), 8);
            }
        }
    }
}

}  // namespace
}  // namespace gapwell
