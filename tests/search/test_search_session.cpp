#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "base/RuntimeError.h"
#include "search/SearchSession.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using Step = SearchSession::Step;

// Runs of 0xFF at 0x2000 and 0x3000 (0x100 bytes each); two words point at 0x2000, one into its
// first 0x80 bytes, one at 0x3004.
std::string WriteMarkedRom(const test::TempFolder& folder) {
    auto rom = test::BytesWithRun(0x4000, 0x11, 0x2000, 0x100, 0xFF);
    std::fill(rom.begin() + 0x3000, rom.begin() + 0x3100, 0xFF);
    test::PutWord(rom, 0x100, 0x08002000);
    test::PutWord(rom, 0x104, 0x0A002001);
    test::PutWord(rom, 0x108, 0x08002040);
    test::PutWord(rom, 0x10C, 0x08003004);
    return folder.Write("rom.gba", rom);
}

// Needed 0x80, interval 0x80: Search from the start offset, Find next from the kept result.
TEST(SearchSession, GivesEachResultWithItsMark) {
    struct Command {
        bool findNext;
        std::int64_t start;   // the start offset, or the kept result for Find next
        std::int32_t offset;  // 0: nothing found
        std::vector<std::int64_t> atStart;
        std::int64_t inside;
    };
    const std::vector<Command> commands{
        {false, 0x1000, 0x2000, {0x100, 0x104}, 3},
        {true, 0x2000, 0x2080, {}, 0},
        {true, 0x2F80, 0x3000, {}, 1},  // pointed into, not at
        {true, 0x3080, 0, {}, 0},
        {false, 0x100000000, 0, {}, 0},  // beyond 32 bits: the last offset
    };
    const test::TempFolder folder;
    const std::string rom = WriteMarkedRom(folder);
    for (const Command& command : commands) {
        SCOPED_TRACE(command.start);
        SearchQuery query({0xFF, 0x80, command.findNext ? 0 : command.start, 0x80},
                          command.findNext ? command.start : 0);
        SearchSession session(rom, query, [](Step, const std::function<void()>& body) { body(); });
        const MarkedResult found =
            (command.findNext ? session.FindNext() : session.Search()).value_or(MarkedResult{});
        EXPECT_EQ(found.offset, command.offset);
        EXPECT_EQ(found.references.atStart, command.atStart);
        EXPECT_EQ(found.references.inside, command.inside);
    }
}

// The caller's error handling skips a failed step (Ignore): a failed pointer check leaves the
// result unmarked, a failed search finds nothing.
TEST(SearchSession, ASkippedStepLeavesTheResultUnmarkedOrFindsNothing) {
    const test::TempFolder folder;
    const std::string rom = WriteMarkedRom(folder);
    std::vector<Step> failed;
    SearchQuery query({0xFF, 0x80, 0x2000, 0x80});
    SearchSession session(rom, query, [&](Step step, const std::function<void()>& body) {
        if (step == Step::PointerCheck) {
            std::filesystem::remove(rom);
        }
        try {
            body();
        } catch (const RuntimeError&) {
            failed.push_back(step);
        }
    });
    const std::optional<MarkedResult> unmarked = session.Search();
    ASSERT_TRUE(unmarked.has_value());
    EXPECT_EQ(unmarked->offset, 0x2000);
    EXPECT_EQ(unmarked->references.atStartCount, 0);
    EXPECT_FALSE(session.FindNext().has_value());
    EXPECT_EQ(failed, (std::vector<Step>{Step::PointerCheck, Step::Search}));
}

}  // namespace
}  // namespace gapwell
