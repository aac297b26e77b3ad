// --known on find, scan, info and alloc, run in-process.
#include <gtest/gtest.h>

#include "InProcess.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using test::BytesWithRun;
using test::Gapwell;
using test::TempFolder;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// A run of FF at 0x2000 (0x300 bytes) whose middle a table takes, and a run at 0x6000 (0x100
// bytes) where a label starts.
class Known : public ::testing::Test {
  protected:
    void SetUp() override {
        auto bytes = BytesWithRun(0x8000, 0x37, 0x2000, 0x300, 0xFF);
        for (std::size_t i = 0x6000; i < 0x6100; ++i) {
            bytes[i] = 0xFF;
        }
        rom_ = folder_.Write("rom.gba", bytes);
        symbols_ = folder_.Write("game.sym", Bytes("08002100 table,00000080\n08006000 anim\n"));
    }

    TempFolder folder_;
    std::string rom_;
    std::string symbols_;
};

TEST_F(Known, EveryCommandSkipsKnownData) {
    EXPECT_EQ(Gapwell({"scan", rom_, "--needed", "128"}).out, "2000 300\n6000 100\n");
    EXPECT_EQ(Gapwell({"scan", rom_, "--needed", "128", "--known", symbols_, "--json"}).out,
              "[{\"offset\":8192,\"length\":256,\"cut_by\":[\"table\"]},"
              "{\"offset\":8576,\"length\":384,\"cut_by\":[\"table\"]}]\n");
    EXPECT_EQ(Gapwell({"find", rom_, "--needed", "512", "--known", symbols_}).exitCode, 1);
    EXPECT_EQ(Gapwell({"find", rom_, "--needed", "256", "--known", symbols_, "--count", "3"}).out,
              "2000\n2180\n2190\n");
    EXPECT_EQ(Gapwell({"alloc", rom_, "--block", "a:0x100", "--known", symbols_}).out,
              "a 2180 256\n");
    const test::CommandRun info = Gapwell({"info", rom_, "--known", symbols_});
    EXPECT_NE(info.out.find(": 2 labels; 0 outside the ROM; 384 bytes of the ROM covered\n"),
              std::string::npos);
}

TEST_F(Known, AMalformedFileGetsOneLineAndExitTwo) {
    const std::string bad = folder_.Write("bad.sym", Bytes("08000000 a\n\x01\x02\x03 \x7F\n"));
    for (const std::string command : {"find", "scan", "info", "alloc"}) {
        SCOPED_TRACE(command);
        std::vector<std::string> arguments{command, rom_, "--known", symbols_, "--known", bad};
        if (command == "alloc") {
            arguments.insert(arguments.end(), {"--block", "a:4"});
        }
        const test::CommandRun run = Gapwell(arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err, "gapwell: " + bad +
                               ":2: not a symbol line (ADDRESS NAME, the address "
                               "in hex): \"\\x01\\x02\\x03 \\x7F\"\n");
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
}  // namespace gapwell
