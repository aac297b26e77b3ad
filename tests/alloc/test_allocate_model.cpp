// AllocateBlocks against a plain model of its rules, on random small ROMs and block sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <set>

#include "alloc/Allocation.h"
#include "alloc/NewRom.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using Rom = std::vector<std::uint8_t>;

std::int64_t Below(std::mt19937& random, std::int64_t bound) {
    return std::uniform_int_distribution<std::int64_t>(0, bound - 1)(random);
}

// Every offset some word of the ROM points at exactly, worked out word by word.
std::set<std::int64_t> PointedAtOffsets(const Rom& rom) {
    std::set<std::int64_t> targets;
    for (std::size_t at = 0; at + 4 <= rom.size(); at += 4) {
        const std::uint32_t value = rom[at] | rom[at + 1] << 8 | rom[at + 2] << 16 |
                                    static_cast<std::uint32_t>(rom[at + 3]) << 24;
        for (const std::int64_t base : {0x08000000, 0x0A000000, 0x0C000000}) {
            if (value >= base) {
                targets.insert(value - base);
                if ((value & 1) != 0) {
                    targets.insert(value - 1 - base);
                }
            }
        }
    }
    return targets;
}

bool Overlap(std::int64_t first, std::int64_t end, std::int64_t otherFirst, std::int64_t otherEnd) {
    return first < otherEnd && otherFirst < end;
}

// The rules a new place must keep, checked byte by byte.
struct Model {
    const Rom& rom;
    const AllocationRequest& request;
    std::set<std::int64_t> pointedAt = PointedAtOffsets(rom);

    bool FreeForNew(std::int64_t offset, std::int64_t size, std::int64_t align,
                    const std::vector<Placement>& others) const {
        const std::int64_t end = offset + size;
        if (offset % align != 0 || offset < request.range.first || end > request.range.end ||
            end > static_cast<std::int64_t>(rom.size())) {
            return false;
        }
        for (const ByteRange& reserved : request.reserved) {
            if (Overlap(offset, end, reserved.first, reserved.end)) {
                return false;
            }
        }
        if (std::any_of(others.begin(), others.end(), [&](const Placement& other) {
                return Overlap(offset, end, other.offset, other.End());
            })) {
            return false;
        }
        for (std::int64_t at = offset; at < end; ++at) {
            if (rom[at] != request.filler) {
                return false;
            }
        }
        std::int64_t runStart = offset;
        while (runStart > 0 && rom[runStart - 1] == request.filler) {
            --runStart;
        }
        // A word pointing at the run's first byte or into its margin makes it data.
        const auto pointer = pointedAt.lower_bound(runStart);
        return offset >= runStart + request.margin &&
               (pointer == pointedAt.end() ||
                *pointer >= runStart + std::max<std::int64_t>(request.margin, 1));
    }
};

std::vector<Placement> AllBut(const Allocation& allocation, const std::string& name) {
    std::vector<Placement> others;
    for (const Placement& place : allocation.Ledger()) {
        if (place.name != name) {
            others.push_back(place);
        }
    }
    return others;
}

// The plan worked out the plain way: largest blocks first (ties: by name), each at the lowest
// aligned offset of the maximal free stretch that it leaves the least of (ties: the lowest).
std::vector<Placement> BestFitPlan(const Model& model, std::vector<Block> blocks) {
    std::sort(blocks.begin(), blocks.end(), [](const Block& a, const Block& b) {
        return a.size != b.size ? a.size > b.size : a.name < b.name;
    });
    std::vector<Placement> plan;
    const auto romSize = static_cast<std::int64_t>(model.rom.size());
    for (const Block& block : blocks) {
        std::optional<Placement> best;
        std::int64_t bestLength = 0;
        for (std::int64_t from = 0; from < romSize; ++from) {
            std::int64_t end = from;
            while (end < romSize && model.FreeForNew(end, 1, 1, plan)) {
                ++end;
            }
            std::int64_t offset = from;
            while (offset < end && offset % block.align != 0) {
                ++offset;
            }
            if (offset + block.size <= end && (!best || end - from < bestLength)) {
                best = Placement{block.name, offset, block.size, block.align};
                bestLength = end - from;
            }
            from = end;
        }
        if (best) {
            plan.push_back(*best);
        }
    }
    std::sort(plan.begin(), plan.end(),
              [](const Placement& a, const Placement& b) { return a.offset < b.offset; });
    return plan;
}

// A ROM of filler runs and other bytes, with words pointing at some run starts or a few bytes
// after them.
Rom RandomRom(std::mt19937& random, std::uint8_t filler) {
    Rom rom;
    const std::int64_t size = 64 + Below(random, 1600);
    std::vector<std::int64_t> runStarts;
    while (static_cast<std::int64_t>(rom.size()) < size) {
        const bool run = Below(random, 2) == 0;
        const std::int64_t length = 1 + Below(random, run ? 300 : 24);
        if (run) {
            runStarts.push_back(static_cast<std::int64_t>(rom.size()));
        }
        for (std::int64_t i = 0; i < length; ++i) {
            rom.push_back(run ? filler
                              : static_cast<std::uint8_t>(filler ^ (1 + Below(random, 255))));
        }
    }
    for (std::size_t i = 0; i < runStarts.size() / 3; ++i) {
        const auto at = static_cast<std::size_t>(Below(random, size / 4) * 4);
        const auto value = static_cast<std::uint32_t>(
            0x08000000 + runStarts[static_cast<std::size_t>(Below(random, std::ssize(runStarts)))] +
            (Below(random, 4) == 0 ? 0x02000000 : 0) + Below(random, 2) + 4 * Below(random, 5));
        for (std::size_t b = 0; b < 4; ++b) {
            rom[at + b] = static_cast<std::uint8_t>(value >> (8 * b));
        }
    }
    return rom;
}

AllocationRequest RandomRequest(std::mt19937& random, std::uint8_t filler, std::int64_t romSize,
                                const std::string& prefix) {
    AllocationRequest request;
    request.filler = filler;
    request.margin = Below(random, 3) == 0 ? kDefaultMargin : Below(random, 24);
    const std::int64_t aligns[] = {1, 2, 4, 8, 16, 64, 512};
    for (std::int64_t i = 0, count = 1 + Below(random, 6); i < count; ++i) {
        request.blocks.push_back({prefix + std::to_string(i), 1 + Below(random, 120),
                                  aligns[Below(random, std::ssize(aligns))]});
    }
    if (Below(random, 3) == 0) {
        request.range.first = Below(random, romSize);
        request.range.end = request.range.first + 1 + Below(random, romSize);
    }
    for (std::int64_t i = 0, count = Below(random, 3); i < count; ++i) {
        const std::int64_t first = Below(random, romSize);
        request.reserved.push_back({first, first + 1 + Below(random, 200)});
    }
    return request;
}

// Every place keeps the rules; each block that did not fit has no place left that would; the
// largest free stretch is what the model finds.
void ExpectRulesKept(const Rom& rom, const AllocationRequest& request, const Allocation& allocation,
                     const std::set<std::string>& keptInPlace) {
    const Model model{rom, request};
    for (const Placement& place : allocation.placed) {
        if (keptInPlace.count(place.name) == 0) {
            EXPECT_TRUE(model.FreeForNew(place.offset, place.size, place.align,
                                         AllBut(allocation, place.name)))
                << place.name << " at " << place.offset;
        }
    }
    const std::vector<Placement> all = allocation.Ledger();
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_TRUE(i == 0 || all[i - 1].End() <= all[i].offset) << all[i].name;
        for (const ByteRange& reserved : request.reserved) {
            EXPECT_FALSE(Overlap(all[i].offset, all[i].End(), reserved.first, reserved.end))
                << all[i].name;
        }
    }
    for (const Block& block : allocation.unplaced) {
        for (std::int64_t offset = 0; offset < static_cast<std::int64_t>(rom.size()); ++offset) {
            ASSERT_FALSE(model.FreeForNew(offset, block.size, block.align, all))
                << block.name << " would fit at " << offset;
        }
    }
    // Runs too short for the margin and the smallest block are no free space.
    std::int64_t smallest = std::numeric_limits<std::int64_t>::max();
    for (const Block& block : request.blocks) {
        smallest = std::min(smallest, block.size);
    }
    const auto romSize = static_cast<std::int64_t>(rom.size());
    std::vector<std::int64_t> runLength(rom.size() + 1, 0);
    for (std::int64_t at = 0; at < romSize; ++at) {
        runLength[at + 1] = rom[at] == request.filler ? runLength[at] + 1 : 0;
    }
    std::vector<bool> inLongRun(rom.size(), false);
    for (std::int64_t at = romSize - 1, length = 0; at >= 0; --at) {
        length = runLength[at + 1] == 0 ? 0 : std::max(length, runLength[at + 1]);
        inLongRun[at] = length >= request.margin + smallest;
    }
    const auto isFree = [&](std::int64_t at) {
        return inLongRun[at] && model.FreeForNew(at, 1, 1, all);
    };
    ByteRange longest;
    for (std::int64_t at = 0, from = 0; at <= romSize; ++at) {
        if (at == romSize || !isFree(at)) {
            if (at - from > longest.end - longest.first) {
                longest = {from, at};
            }
            from = at + 1;
        }
    }
    EXPECT_EQ(allocation.largestFree.first, longest.first);
    EXPECT_EQ(allocation.largestFree.end, longest.end);
}

// Inserting the placed blocks changes only filler bytes; a second run on the new ROM with the
// ledger keeps every place, and inserting again changes nothing.
void ExpectInsertWritesOnlyFiller(std::mt19937& random, const test::TempFolder& folder,
                                  const Rom& rom, const AllocationRequest& request,
                                  const Allocation& first) {
    std::map<std::string, std::string> contents;
    for (const Placement& place : first.placed) {
        contents[place.name] =
            std::string(static_cast<std::size_t>(place.size),
                        static_cast<char>(request.filler ^ (1 + Below(random, 255))));
    }
    std::string out(rom.begin(), rom.end());
    ASSERT_EQ(InsertBlocks(out, first.placed, contents, request.filler, {}), "");
    for (std::size_t at = 0; at < rom.size(); ++at) {
        ASSERT_TRUE(static_cast<std::uint8_t>(out[at]) == rom[at] || rom[at] == request.filler)
            << at;
    }
    std::filesystem::remove(folder.Path() / "out.gba");
    const std::string path = folder.Write("out.gba", Rom(out.begin(), out.end()));
    AllocationRequest again = request;
    again.earlier = first.placed;
    const Allocation rerun = AllocateBlocks(path, again);
    EXPECT_EQ(rerun.placed, first.placed);
    std::string twice = out;
    ASSERT_EQ(InsertBlocks(twice, rerun.placed, contents, request.filler, first.placed), "");
    EXPECT_EQ(twice, out);
}

TEST(AllocateBlocks, KeepsEveryRuleOnRandomRomsAndNeverMovesWhatItPlaced) {
    test::TempFolder folder;
    std::mt19937 random(29);
    for (int round = 0; round < 3000; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::filesystem::remove(folder.Path() / "rom.gba");
        const std::uint8_t filler = Below(random, 2) == 0 ? 0xFF : 0x00;
        Rom rom = RandomRom(random, filler);
        // A new file each time: rewriting one in place makes some file systems flush it.
        const std::string path = folder.Write("rom.gba", rom);
        AllocationRequest request =
            RandomRequest(random, filler, static_cast<std::int64_t>(rom.size()), "b");
        const Allocation first = AllocateBlocks(path, request);
        ASSERT_NO_FATAL_FAILURE(ExpectRulesKept(rom, request, first, {}));
        EXPECT_EQ(first.placed.size() + first.unplaced.size(), request.blocks.size());
        EXPECT_EQ(first.placed, BestFitPlan(Model{rom, request}, request.blocks));

        ASSERT_NO_FATAL_FAILURE(ExpectInsertWritesOnlyFiller(random, folder, rom, request, first));

        // The same input in another order gives the same plan.
        std::shuffle(request.blocks.begin(), request.blocks.end(), random);
        EXPECT_EQ(AllocateBlocks(path, request).placed, first.placed);

        // A later run: the placed data is inserted, some blocks are no longer asked for, some
        // grew or shrank, new ones come. Nothing that keeps its size or shrinks moves; a block
        // that grew stays or is reported as moved; the others stay reserved.
        for (const Placement& place : first.placed) {
            if (Below(random, 2) == 0) {
                std::fill(rom.begin() + place.offset, rom.begin() + place.End(), filler ^ 0x5A);
            }
        }
        std::filesystem::remove(path);
        folder.Write("rom.gba", rom);
        AllocationRequest later =
            RandomRequest(random, filler, static_cast<std::int64_t>(rom.size()), "n");
        later.range = request.range;
        later.reserved = request.reserved;
        later.earlier = first.placed;
        for (Block block : request.blocks) {
            block.size = std::max<std::int64_t>(1, block.size + Below(random, 41) - 20);
            if (Below(random, 4) != 0) {
                later.blocks.push_back(block);
            }
        }
        const Allocation second = AllocateBlocks(path, later);
        std::set<std::string> keptInPlace;
        for (const Placement& place : second.placed) {
            const auto earlier =
                std::find_if(first.placed.begin(), first.placed.end(),
                             [&](const Placement& p) { return p.name == place.name; });
            if (earlier == first.placed.end()) {
                continue;
            }
            const bool moved =
                std::any_of(second.moved.begin(), second.moved.end(),
                            [&](const Placement& m) { return m.name == place.name; });
            EXPECT_EQ(moved, place.offset != earlier->offset) << place.name;
            EXPECT_TRUE(!moved || place.size > earlier->size) << place.name;
            if (!moved) {
                keptInPlace.insert(place.name);
                // What it grew by is filler inside the range.
                for (std::int64_t at = earlier->End(); at < place.End(); ++at) {
                    EXPECT_EQ(rom[at], filler) << place.name << " grew over " << at;
                }
                EXPECT_TRUE(place.size <= earlier->size || place.End() <= later.range.end);
            }
        }
        for (const Placement& place : second.kept) {
            EXPECT_NE(std::find(first.placed.begin(), first.placed.end(), place),
                      first.placed.end());
        }
        EXPECT_EQ(second.kept.size() + keptInPlace.size() + second.moved.size(),
                  first.placed.size());
        ASSERT_NO_FATAL_FAILURE(ExpectRulesKept(rom, later, second, keptInPlace));
    }
}

}  // namespace
}  // namespace gapwell
