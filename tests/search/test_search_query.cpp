#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "search/KnownData.h"
#include "search/SearchQuery.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

constexpr std::int64_t kLastOffset = 0x7FFFFFFF;

// A ROM whose free space starts at the given offsets: each search gives the first one at or
// after its start, 0 for none, and records where it started.
struct FreeOffsets {
    std::set<std::int32_t> offsets;
    std::vector<std::int32_t> starts;

    SearchQuery::SearchFrom Search() {
        return [this](std::int32_t start) {
            starts.push_back(start);
            const auto found = offsets.lower_bound(start);
            return found == offsets.end() ? 0 : *found;
        };
    }
};

struct Steps {
    const char* name;
    std::set<std::int32_t> offsets;
    std::int64_t start;
    std::int64_t interval;
    std::vector<std::optional<std::int32_t>> results;  // Search, then each Find next
    std::vector<std::int32_t> starts;                  // where the searches started
};

TEST(SearchQuery, SearchThenFindNextStepsFromTheLastResult) {
    const std::vector<Steps> cases{
        {"each next from last + interval",
         {0x100, 0x110, 0x200},
         0,
         16,
         {0x100, 0x110, 0x200, std::nullopt},
         {0, 0x110, 0x120, 0x210}},
        {"interval 0 finds the same offset again", {0x40}, 0x40, 0, {0x40, 0x40}, {0x40, 0x40}},
        {"nothing from the start", {0x10}, 0x11, 16, {std::nullopt}, {0x11}},
        {"a start beyond the offsets is never searched",
         {0x10},
         kLastOffset + 1,
         16,
         {std::nullopt},
         {}},
        {"next start beyond 7FFFFFFF is never searched",
         {0x7FFFFFF0},
         0x7FFFFF00,
         16,
         {0x7FFFFFF0, std::nullopt},
         {0x7FFFFF00}},
        {"next start exactly 7FFFFFFF is searched",
         {0x7FFFFFEF, 0x7FFFFFFF},
         0x7FFFFF00,
         16,
         {0x7FFFFFEF, 0x7FFFFFFF},
         {0x7FFFFF00, 0x7FFFFFFF}},
    };
    for (const Steps& steps : cases) {
        SCOPED_TRACE(steps.name);
        FreeOffsets rom{steps.offsets, {}};
        SearchQuery search({0xFF, 1, steps.start, steps.interval});
        std::vector<std::optional<std::int32_t>> results{search.Search(rom.Search())};
        while (results.size() < steps.results.size()) {
            results.push_back(search.FindNext(rom.Search()));
        }
        EXPECT_EQ(results, steps.results);
        EXPECT_EQ(rom.starts, steps.starts);
    }
}

TEST(SearchQuery, NothingFoundKeepsTheLastResult) {
    FreeOffsets rom{{0x100}, {}};
    SearchQuery search({0xFF, 1, 0x80, 16});
    EXPECT_EQ(search.Search(rom.Search()), 0x100);
    EXPECT_EQ(search.FindNext(rom.Search()), std::nullopt);
    rom.offsets.insert(0x120);
    EXPECT_EQ(search.FindNext(rom.Search()), 0x120);
    EXPECT_EQ(rom.starts, (std::vector<std::int32_t>{0x80, 0x110, 0x110}));
}

TEST(SearchQuery, ResumesFromAKeptLastResult) {
    FreeOffsets rom{{0x7FFFFFF8}, {}};
    EXPECT_EQ(SearchQuery({0xFF, 1, 0, 8}, 0x7FFFFFF0).FindNext(rom.Search()), 0x7FFFFFF8);
    EXPECT_EQ(SearchQuery({0xFF, 1, 0, 16}, 2147483640).FindNext(rom.Search()), std::nullopt);
    EXPECT_EQ(rom.starts, (std::vector<std::int32_t>{0x7FFFFFF8}));
}

// The options are read anew before each command (the window reads its fields each time); only the
// last result carries over, and only from a command that found something.
TEST(SearchQuery, EachCommandTakesTheOptionsOfItsTimeAndTheLastResult) {
    struct Command {
        bool findNext;
        std::int64_t start;
        std::int64_t interval;
        std::optional<std::int32_t> result;
        std::int64_t nextStart;  // where a Find next would start after the command
    };
    const std::vector<Command> commands{
        {false, 0x80, 16, 0x100, 0x110},
        {true, 0x80, 0x20, 0x120, 0x140},  // the new interval, from the last result
        {false, 0x300, 0x20, std::nullopt, 0x140},
        {true, 0x300, 0xE0, 0x200, 0x2E0},
    };
    FreeOffsets rom{{0x100, 0x120, 0x200}, {}};
    SearchQuery query;
    for (const Command& command : commands) {
        query.options.start = command.start;
        query.options.interval = command.interval;
        EXPECT_EQ(command.findNext ? query.FindNext(rom.Search()) : query.Search(rom.Search()),
                  command.result);
        EXPECT_EQ(query.NextStart(), command.nextStart);
    }
}

// The search of a ROM: 0x40 bytes of 0xFF at 0x1001, the first 0x10 of them known data.
TEST(SearchQuery, SearchesTheRomWithItsOptionsOutsideKnownData) {
    struct Case {
        std::int64_t needed;
        std::int64_t align;
        std::int32_t start;
        std::int32_t result;
    };
    const std::vector<Case> cases{
        {0x20, 1, 0, 0x1011}, {0x20, 16, 0, 0x1020}, {0x20, 1, 0x1018, 0x1018},
        {0x30, 1, 0, 0x1011}, {0x31, 1, 0, 0},
    };
    const test::TempFolder folder;
    const std::string rom =
        folder.Write("rom.gba", test::BytesWithRun(0x2000, 0, 0x1001, 0x40, 0xFF));
    const KnownData known({{{0x1001, 0x1011}, "table"}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.needed);
        const SearchQuery query({0xFF, c.needed, 0, 16, c.align});
        EXPECT_EQ(query.In(rom, known)(c.start), c.result);
    }
}

}  // namespace
}  // namespace gapwell
