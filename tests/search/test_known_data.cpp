// Known data from build files: the cut of free runs against a byte-by-byte model, each format read
// back from a small file, and hostile files.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "base/RuntimeError.h"
#include "search/KnownData.h"
#include "search/modSearchFreeSpace.h"
#include "support/RunsReference.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using test::TempFolder;

// The bytes that `marks` make known in `data`, worked out byte by byte.
std::vector<bool> ModelKnown(const std::vector<std::uint8_t>& data,
                             const std::vector<KnownMark>& marks) {
    const auto size = static_cast<std::int64_t>(data.size());
    std::vector<bool> known(data.size(), false);
    for (const KnownMark& mark : marks) {
        std::int64_t end = mark.offset;
        if (mark.size != kUnknownSize) {
            end = mark.offset + mark.size;
        } else {
            while (end < size && data[end] == 0xFF) {
                ++end;
            }
        }
        for (std::int64_t i = mark.offset; i < std::min(end, size); ++i) {
            known[i] = true;
        }
    }
    return known;
}

// Random ROMs, random marks (sized, unsized, beyond the ROM): the parts that ScanFreeParts reports
// are the runs of the ROM with every known byte made non-filler, so that no reported byte is
// known and every free part is found; Search past known data finds what Search finds there.
TEST(KnownData, CutsRunsLikeAByteByByteModel) {
    std::mt19937 random(39);
    TempFolder folder;
    for (int round = 0; round < 300; ++round) {
        const std::vector<std::uint8_t> data = test::RandomStream(random, 3000);
        std::vector<KnownMark> marks(random() % 12);
        for (KnownMark& mark : marks) {
            mark.offset = static_cast<std::int64_t>(random() % (data.size() + 50));
            mark.size = random() % 3 == 0 ? kUnknownSize : 1 + random() % 300;
            mark.name = std::to_string(mark.offset);
        }
        const std::string rom = folder.Write("rom.gba", data);
        const KnownData known = KnownData::Resolve(rom, 0xFF, marks);
        std::vector<std::uint8_t> freeOnly = data;
        const std::vector<bool> model = ModelKnown(data, marks);
        for (std::size_t i = 0; i < data.size(); ++i) {
            freeOnly[i] = model[i] ? 0 : data[i];
        }
        const std::int64_t needed = 1 + random() % 40;
        const std::int64_t align = std::int64_t{1} << (random() % 4);
        test::Runs parts;
        ScanFreeParts(rom, 0xFF, needed, align, known, [&](const FreePart& part) {
            parts.emplace_back(part.run.offset, part.run.length);
        });
        ASSERT_EQ(parts, test::ReferenceRuns(freeOnly, 0xFF, needed, align)) << "round " << round;

        const std::string freeRom = folder.Write("free.gba", freeOnly);
        const auto needed32 = static_cast<std::int32_t>(needed);
        const std::int32_t start = static_cast<std::int32_t>(random() % (data.size() + 1));
        const std::int32_t found = SearchOutsideKnown(known, needed, start, [&](std::int32_t from) {
            return SearchFreeSpace(rom, 0xFF, needed32, from, kSearchChunkSize, 0);
        });
        ASSERT_EQ(found, SearchFreeSpace(freeRom, 0xFF, needed32, start, kSearchChunkSize, 0))
            << "round " << round;
    }
}

TEST(KnownData, NamesTheMarksThatBoundEachPart) {
    const KnownData known({{{0x110, 0x120}, "table"},
                           {{0x118, 0x140}, "tiles"},
                           {{0x180, 0x190}, "text"},
                           {{0x300, 0x310}, "far"}});
    const std::vector<FreePart> parts = known.FreeParts({0x100, 0x100});
    ASSERT_EQ(parts.size(), 3U);
    EXPECT_EQ(parts[0].cutBy, (std::vector<std::string>{"table"}));
    EXPECT_EQ(parts[1].cutBy, (std::vector<std::string>{"tiles", "text"}));
    EXPECT_EQ(parts[2].cutBy, (std::vector<std::string>{"text"}));
    EXPECT_EQ(parts[2].run.offset, 0x190);
    EXPECT_EQ(*known.NameIn({0x100, 0x11C}), "table");
    EXPECT_EQ(known.CoveredBytes(), 0x30 + 0x10 + 0x10);
}

}  // namespace
}  // namespace gapwell
