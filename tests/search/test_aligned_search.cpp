#include <gtest/gtest.h>

#include <random>

#include "base/RuntimeError.h"
#include "search/modSearchFreeSpace.h"
#include "support/PointersReference.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using test::TempFolder;

// Random files of mostly filler, small chunks so that runs often cross them, every alignment
// from 1 to 256 and starts on and off the alignment.
TEST(AlignedSearch, AgreesWithAByteByByteSearchForEveryAlignment) {
    TempFolder folder;
    std::mt19937 random(256);
    for (int round = 0; round < 600; ++round) {
        std::vector<std::uint8_t> rom(random() % 2000);
        const int fillerPercent = 50 + static_cast<int>(random() % 50);
        for (auto& byte : rom) {
            byte = static_cast<int>(random() % 100) < fillerPercent ? 0xFF : 0x00;
        }
        const std::int64_t alignment = std::int64_t{1} << (round % 9);
        const std::int64_t needed = 1 + static_cast<std::int64_t>(random() % 48);
        const std::int64_t chunk = needed + static_cast<std::int64_t>(random() % 300);
        const std::int64_t start = rom.empty() ? 0 : random() % rom.size();
        const std::string file = folder.Write("rom.gba", rom);
        ASSERT_EQ(
            SearchFreeSpace(file, 0xFF, static_cast<std::int32_t>(needed),
                            static_cast<std::int32_t>(start), static_cast<std::int32_t>(chunk), 0,
                            static_cast<std::int32_t>(alignment)),
            test::ReferenceAlignedSearch(rom, 0xFF, needed, start, chunk, alignment))
            << "round " << round << " alignment " << alignment << " needed " << needed << " chunk "
            << chunk << " start " << start;
    }
}

// A run from 0xFFF81 to 0x100381 crosses the 1 MiB chunk boundary of a search from 0.
TEST(AlignedSearch, KeepsTheChunkRulesOfTheSearch) {
    TempFolder folder;
    const std::string file =
        folder.Write("rom.gba", test::BytesWithRun(0x200000, 0x00, 0xFFF81, 0x400, 0xFF));
    const auto search = [&](std::int32_t needed, std::int32_t start, std::int32_t alignment) {
        return SearchFreeSpace(file, 0xFF, needed, start, kSearchChunkSize, 0, alignment);
    };
    EXPECT_EQ(search(0x40, 0, 1), 0xFFF81);
    EXPECT_EQ(search(0x40, 0, 2), 0xFFF82);
    EXPECT_EQ(search(0x40, 0, 64), 0xFFFC0);
    EXPECT_EQ(search(0x40, 0, 128), 0x100000);  // no multiple of 128 in the first chunk's part
    EXPECT_EQ(search(0x200, 0, 256), 0x100000);
    EXPECT_EQ(search(0x200, 0xFFF81, 256), 0x100000);  // the whole run lies in the chunk from here
    EXPECT_EQ(search(0x382, 0xFFF81, 256), 0);
    EXPECT_EQ(search(0x400, 0xFFF81, 1), 0xFFF81);
}

TEST(AlignedSearch, RefusesAnAlignmentThatIsNoPowerOfTwo) {
    TempFolder folder;
    const std::string file = folder.Write("rom.gba", std::vector<std::uint8_t>(64, 0xFF));
    EXPECT_THROW(SearchFreeSpace(file, 0xFF, 1, 0, kSearchChunkSize, 0, 0), RuntimeError);
    EXPECT_THROW(SearchFreeSpace(file, 0xFF, 1, 0, kSearchChunkSize, 0, 3), RuntimeError);
    EXPECT_THROW(SearchFreeSpace(file, 0xFF, 1, 0, kSearchChunkSize, 0, -4), RuntimeError);
    EXPECT_EQ(SearchFreeSpace(file, 0xFF, 1, 1, kSearchChunkSize, 0, 16), 16);
}

}  // namespace
}  // namespace gapwell
