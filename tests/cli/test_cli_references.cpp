// find and scan with --refs, --align and --json, run in-process.
#include <gtest/gtest.h>

#include <sstream>
#include <utility>

#include "InProcess.h"
#include "cli/ListPrinter.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using test::BytesWithRun;
using test::Gapwell;
using test::PutWord;
using test::TempFolder;

// Filler runs of FF at 0x2000 (0x300 bytes) and 0x6001 (0x200 bytes); two words point at
// 0x2000, one into it, one at 0x6001 (Thumb), one at 0x6004.
class References : public ::testing::Test {
  protected:
    void SetUp() override {
        auto bytes = BytesWithRun(0x8000, 0x37, 0x2000, 0x300, 0xFF);
        for (std::size_t i = 0x6001; i < 0x6201; ++i) {
            bytes[i] = 0xFF;
        }
        PutWord(bytes, 0x1A00, 0x08002000);
        PutWord(bytes, 0x1B0C, 0x0A002000);
        PutWord(bytes, 0x1C00, 0x08002010);
        PutWord(bytes, 0x1D00, 0x08006001);
        PutWord(bytes, 0x1D04, 0x08006004);
        rom_ = folder_.Write("rom.gba", bytes);
    }

    TempFolder folder_;
    std::string rom_;
};

TEST_F(References, FindListsThePointersOfEachResult) {
    EXPECT_EQ(Gapwell({"find", rom_, "--refs"}).out, "2000 refs 1A00,1B0C inside 3\n");
    // Results 16 bytes apart overlap: 0x2010 is pointed at exactly, 0x2000 no longer lies in it.
    EXPECT_EQ(Gapwell({"find", rom_, "--refs", "--count", "3"}).out,
              "2000 refs 1A00,1B0C inside 3\n2010 refs 1C00 inside 1\n2020 inside 0\n");
    EXPECT_EQ(Gapwell({"find", rom_, "--refs", "--json", "--from", "3000"}).out,
              "[{\"offset\":24577,\"references\":[7424],\"inside_references\":2}]\n");
    EXPECT_EQ(Gapwell({"find", rom_, "--json", "--count", "2"}).out,
              "[{\"offset\":8192},{\"offset\":8208}]\n");
    const test::CommandRun none = Gapwell({"find", rom_, "--json", "--refs", "--needed", "4096"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out, "[]\n");
    EXPECT_EQ(none.err, "Not enough free space found.\n");
}

TEST_F(References, FindAlignsEachResult) {
    EXPECT_EQ(Gapwell({"find", rom_, "--from", "3000", "--align", "4"}).out, "6004\n");
    EXPECT_EQ(Gapwell({"find", rom_, "--from", "3000", "--align", "4", "--refs"}).out,
              "6004 refs 1D04 inside 1\n");
    EXPECT_EQ(Gapwell({"find", rom_, "--align", "256", "--count", "3", "--needed", "256"}).out,
              "2000\n2100\n2200\n");
    EXPECT_EQ(Gapwell({"find", rom_, "--align", "512", "--count", "3", "--needed", "257"}).out,
              "2000\n");
}

TEST_F(References, AlignmentsArePowersOfTwoUpTo2To30) {
    for (const auto& [align, exitCode] : std::vector<std::pair<std::string, int>>{
             {"1073741824", 0}, {"2147483648", 2}, {"6", 2}, {"0", 2}}) {
        const test::CommandRun run = Gapwell({"scan", rom_, "--align", align});
        EXPECT_EQ(run.exitCode, exitCode) << align;
        EXPECT_EQ(run.err.find("--align") != std::string::npos, exitCode == 2) << run.err;
    }
}

TEST_F(References, ScanListsThePointersOfEachRun) {
    EXPECT_EQ(Gapwell({"scan", rom_, "--refs"}).out,
              "2000 300 refs 1A00,1B0C inside 3\n6001 200 refs 1D00 inside 2\n");
    EXPECT_EQ(Gapwell({"scan", rom_, "--refs", "--align", "4"}).out,
              "2000 300 refs 1A00,1B0C inside 3\n6004 1FD refs 1D04 inside 1\n");
    EXPECT_EQ(Gapwell({"scan", rom_, "--refs", "--json", "--needed", "768"}).out,
              "[{\"offset\":8192,\"length\":768,\"start_references\":[6656,6924],"
              "\"inside_references\":3}]\n");
    EXPECT_EQ(Gapwell({"scan", rom_, "--refs", "--json", "--needed", "769"}).out, "[]\n");
}

// Items held back in batches print the same as all at once.
TEST_F(References, BatchesPrintLikeOnePass) {
    const auto print = [this](std::size_t batchSize) {
        std::ostringstream out;
        cli::ListPrinter printer(rom_, {cli::ListKind::Runs, false, true}, out, batchSize);
        for (const std::int64_t offset : {0x1FF0, 0x2000, 0x2010, 0x6000, 0x6001}) {
            printer.Add(offset, 0x10);
        }
        printer.Finish();
        return out.str();
    };
    EXPECT_EQ(print(2),
              "1FF0 10 inside 0\n2000 10 refs 1A00,1B0C inside 2\n"
              "2010 10 refs 1C00 inside 1\n6000 10 refs 1D00 inside 2\n"
              "6001 10 refs 1D00 inside 2\n");
    EXPECT_EQ(print(2), print(cli::ListPrinter::kDefaultBatchSize));
}

}  // namespace
}  // namespace gapwell
