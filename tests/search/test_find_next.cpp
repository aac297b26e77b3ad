#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "search/FindNextSearch.h"

namespace gapwell {
namespace {

constexpr std::int64_t kLastOffset = 0x7FFFFFFF;

// A ROM whose free space starts at the given offsets: each search gives the first one at or
// after its start, 0 for none, and records where it started.
struct FreeOffsets {
    std::set<std::int32_t> offsets;
    std::vector<std::int32_t> starts;

    FindNextSearch::SearchFrom Search() {
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

TEST(FindNextSearch, SearchThenFindNextStepsFromTheLastResult) {
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
        FindNextSearch search;
        std::vector<std::optional<std::int32_t>> results{search.Search(steps.start, rom.Search())};
        while (results.size() < steps.results.size()) {
            results.push_back(search.FindNext(steps.interval, rom.Search()));
        }
        EXPECT_EQ(results, steps.results);
        EXPECT_EQ(rom.starts, steps.starts);
    }
}

TEST(FindNextSearch, NothingFoundKeepsTheLastResult) {
    FreeOffsets rom{{0x100}, {}};
    FindNextSearch search;
    EXPECT_EQ(search.Search(0x80, rom.Search()), 0x100);
    EXPECT_EQ(search.FindNext(16, rom.Search()), std::nullopt);
    rom.offsets.insert(0x120);
    EXPECT_EQ(search.FindNext(16, rom.Search()), 0x120);
    EXPECT_EQ(rom.starts, (std::vector<std::int32_t>{0x80, 0x110, 0x110}));
}

TEST(FindNextSearch, ResumesFromAKeptLastResult) {
    FreeOffsets rom{{0x7FFFFFF8}, {}};
    EXPECT_EQ(FindNextSearch(0x7FFFFFF0).FindNext(8, rom.Search()), 0x7FFFFFF8);
    EXPECT_EQ(FindNextSearch(2147483640).FindNext(16, rom.Search()), std::nullopt);
    EXPECT_EQ(rom.starts, (std::vector<std::int32_t>{0x7FFFFFF8}));
}

}  // namespace
}  // namespace gapwell
