// gapwell alloc, run in-process: bad values, every output format read back, the ledger.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

#include "InProcess.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using test::BytesWithRun;
using test::CommandRun;
using test::Gapwell;
using test::ReadText;
using test::TempFolder;
using test::WriteText;

// Filler runs of FF at 0x4000 (0x800 bytes) and 0x6000 (0x100 bytes).
class Alloc : public ::testing::Test {
  protected:
    void SetUp() override {
        auto bytes = BytesWithRun(0x8000, 0x37, 0x4000, 0x800, 0xFF);
        std::fill(bytes.begin() + 0x6000, bytes.begin() + 0x6100, 0xFF);
        rom_ = folder_.Write("rom.gba", bytes);
    }

    std::string File(const std::string& name, const std::string& text) const {
        WriteText(folder_.Path() / name, text);
        return (folder_.Path() / name).string();
    }

    CommandRun Alloc3(std::vector<std::string> more) const {
        std::vector<std::string> arguments{"alloc",   rom_,       "--block", "tiles:0x200:256",
                                           "--block", "text:100", "--block", "code:40:2"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return Gapwell(arguments);
    }

    TempFolder folder_;
    std::string rom_;
};

TEST_F(Alloc, BadValuesGetOneLineAndExitTwo) {
    const std::string folder = folder_.Path().string();
    const std::string tooLong = File("long.txt", std::string((1 << 20) + 1, '#'));
    const struct {
        std::vector<std::string> arguments;
        std::string expected;
    } cases[] = {
        {{"--block", "a"}, "expected NAME:SIZE"},
        {{"--block", "a:0"}, "bad size \"0\""},
        {{"--block", "a:2147483648"}, "bad size"},
        {{"--block", "a:12k"}, "bad size"},
        {{"--block", "9a:4"}, "bad name \"9a\""},
        {{"--block", "a-b:4"}, "bad name"},
        {{"--block", "a:4:3"}, "bad alignment \"3\""},
        {{"--block", "a:4", "--block", "a:8"}, "block a is asked for twice"},
        {{"--block", "a:4", "--byte", "100"}, "--byte"},
        {{"--block", "a:4", "--from", "G"}, "--from"},
        {{"--block", "a:4", "--to", "0"}, "--to"},
        {{"--block", "a:4", "--from", "5000", "--to", "5000"}, "is not below --to"},
        {{"--block", "a:4", "--margin", "-1"}, "--margin"},
        {{"--block", "a:4", "--format", "xml"}, "--format"},
        {{"--block", "a:4", "--address", "ram"}, "--address"},
        {{"--block", "a:4", "--update-ledger"}, "needs --ledger"},
        {{"--block", "a:4", "--forget", "a b"}, "--forget"},
        {{}, "no blocks to place"},
        {{"--blocks", folder + "/missing.txt"}, "missing.txt"},
        {{"--blocks", folder}, folder},
        {{"--blocks", tooLong}, "File too large"},
        {{"--blocks", File("b.txt", "a 4\n\nb 4 8 9\n")}, "b.txt:3: expected NAME SIZE [ALIGN]"},
        {{"--block", "a:4", "--reserve", File("r.txt", "# hex\n10 +0\n")}, "r.txt:2: bad length"},
        {{"--block", "a:4", "--reserve", File("r2.txt", "20 10\n")}, "r2.txt:1: bad end"},
        {{"--block", "a:4", "--ledger", File("l.txt", "a 4010 4\n")}, "l.txt:1: expected NAME"},
        {{"--block", "a:4", "--ledger", File("l2.txt", "a 4010 16 4\nb 4018 4 4\n")},
         "earlier blocks a and b overlap"},
        {{"--block", "a:4", "--ledger", File("l3.txt", "a 7FFFFFFF 2 1\n")}, "bad offset"},
        {{"--block", "a:1", "--block", "a_SIZE:1", "--format", "c"}, "would both define a_SIZE"},
    };
    for (const auto& [arguments, expected] : cases) {
        std::vector<std::string> all{"alloc", rom_};
        all.insert(all.end(), arguments.begin(), arguments.end());
        const CommandRun run = Gapwell(all);
        const std::string line = arguments.empty() ? "" : arguments.back();
        EXPECT_EQ(run.exitCode, 2) << line;
        EXPECT_EQ(run.out, "") << line;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << line << run.err;
        EXPECT_NE(run.err.find(expected), std::string::npos) << line << run.err;
    }
}

// NAME -> value, read from every line of `plan` that `line` matches (name, then the number in
// `radix`).
std::map<std::string, std::int64_t> ReadPlan(const std::string& plan, const std::string& line,
                                             int radix = 16) {
    std::map<std::string, std::int64_t> values;
    const std::regex form(line);
    std::istringstream lines(plan);
    for (std::string text; std::getline(lines, text);) {
        std::smatch match;
        if (std::regex_match(text, match, form)) {
            values[match[1]] = std::stoll(match[2], nullptr, radix);
        }
    }
    return values;
}

TEST_F(Alloc, EveryFormatReadsBackAsTheSamePlan) {
    const CommandRun text = Alloc3({});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    // Best fit: tiles (largest) at the first 256-aligned offset after the margin; then text into
    // the 240 bytes left before it (as long as the run at 0x6000, but lower), code after text.
    EXPECT_EQ(text.out, "text 4010 100\ncode 4074 40\ntiles 4100 512\n");
    const auto offsets = ReadPlan(text.out, R"((\w+) ([0-9A-F]+) \d+)");
    const auto plus = [&offsets](std::int64_t base) {
        auto moved = offsets;
        for (auto& [name, value] : moved) {
            value += base;
        }
        return moved;
    };
    const struct {
        std::string format;
        std::string line;
        std::int64_t base;
    } formats[] = {
        {"armips", R"(\.definelabel (\w+),0x(08[0-9A-F]{6}))", 0x08000000},
        {"ea", R"(#define (\w+) 0x([0-9A-F]+))", 0},
        {"c", R"(#define (\w+) 0x(08[0-9A-F]{6})u)", 0x08000000},
        {"make", R"((\w+) := 0x(08[0-9A-F]{6}))", 0x08000000},
        {"ld", R"((\w+) = 0x(08[0-9A-F]{6});)", 0x08000000},
        {"json", R"re(\{"name":"(\w+)","offset":(\d+),"size":\d+,"align":\d+,"moved":false\})re",
         0},
    };
    for (const auto& [format, line, base] : formats) {
        const CommandRun run = Alloc3({"--format", format});
        EXPECT_EQ(run.exitCode, 0) << format;
        // JSON: one object a line, in decimal.
        const bool json = format == "json";
        const std::string lines =
            json ? std::regex_replace(run.out, std::regex(R"(\{"blocks":\[|,(?=\{)|\]\})"), "\n")
                 : run.out;
        EXPECT_EQ(ReadPlan(lines, line, json ? 10 : 16), plus(base)) << format << "\n" << run.out;
    }
    EXPECT_EQ(ReadPlan(Alloc3({"--format", "ld", "--address", "offset"}).out,
                       R"((\w+) = 0x([0-9A-F]+);)"),
              offsets);
    EXPECT_EQ(ReadPlan(Alloc3({"--address", "rom"}).out, R"((\w+) ([0-9A-F]+) \d+)"),
              plus(0x08000000));
    const std::string sizes = Alloc3({"--format", "c"}).out;
    EXPECT_NE(sizes.find("#define tiles_SIZE 512u\n"), std::string::npos) << sizes;
#ifndef _WIN32
    // The header compiles, and says what the text plan says.
    std::string check = "#include \"plan.h\"\n";
    for (const auto& [name, value] : plus(0x08000000)) {
        check +=
            "_Static_assert(" + name + " == " + std::to_string(value) + "u, \"" + name + "\");\n";
    }
    check += "_Static_assert(code_SIZE == 40u, \"size\");\n";
    File("plan.h", sizes);
    const std::string source = File("check.c", check);
    const std::string command =
        std::string(GAPWELL_C_COMPILER) + " -x c -std=c11 -Wall -Werror -fsyntax-only " + source;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
#endif
}

TEST_F(Alloc, LedgerKeepsPlacesAndIsWrittenOnlyWhenEveryBlockFits) {
    // A ledger in a folder that does not exist yet counts as empty; the folder is made.
    const std::string ledger = (folder_.Path() / "plans" / "plan.ledger").string();
    ASSERT_EQ(Alloc3({"--ledger", ledger, "--update-ledger"}).exitCode, 0);
    const std::string written = ReadText(ledger);
    EXPECT_EQ(written,
              "# gapwell alloc ledger: NAME OFFSET(hex) SIZE ALIGN\n"
              "text 4010 100 4\ncode 4074 40 2\ntiles 4100 512 256\n");

    // text grows into code, which is no longer asked for but stays, and so moves.
    const CommandRun later =
        Gapwell({"alloc", rom_, "--ledger", ledger, "--update-ledger", "--block", "tiles:0x200:256",
                 "--block", "text:300", "--block", "more:8"});
    ASSERT_EQ(later.exitCode, 0) << later.err;
    EXPECT_EQ(later.out, "more 4010 8\ntiles 4100 512\ntext 4300 300\n");
    EXPECT_EQ(later.err,
              "moved: text from 4010 to 4300 (it no longer fits at its earlier place)\n");
    EXPECT_NE(ReadText(ledger).find("code 4074 40 2\n"), std::string::npos);

    // A block that does not fit: nothing on stdout, the ledger as it was.
    const std::string before = ReadText(ledger);
    const CommandRun full = Gapwell({"alloc", rom_, "--ledger", ledger, "--update-ledger",
                                     "--block", "huge:0x800", "--block", "big:0x700"});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.out, "");
    EXPECT_EQ(full.err,
              "does not fit: huge (2048 bytes, alignment 4)\n"
              "does not fit: big (1792 bytes, alignment 4)\n"
              "largest free run left: 980 bytes at 442C\n");
    EXPECT_EQ(ReadText(ledger), before);
    // Forgotten, code's place is free again: 232 bytes from 0x4018 to tiles, the best fit.
    const std::vector<std::string> fill{"alloc", rom_, "--ledger", ledger, "--block", "c:232"};
    EXPECT_EQ(Gapwell(fill).out, "c 6010 232\n");
    std::vector<std::string> forget = fill;
    forget.insert(forget.end(), {"--forget", "code"});
    EXPECT_EQ(Gapwell(forget).out, "c 4018 232\n");
#ifndef _WIN32
    // A link planted where the new ledger is first written is not written through.
    const auto victim = folder_.Path() / "victim.txt";
    WriteText(victim, "keep");
    std::filesystem::create_symlink(victim, ledger + ".new-" + std::to_string(::getpid()) + "-0");
    EXPECT_EQ(Alloc3({"--ledger", ledger, "--update-ledger"}).exitCode, 0);
    EXPECT_EQ(ReadText(victim), "keep");
    EXPECT_NE(ReadText(ledger).find("more 4010 8 4\n"), std::string::npos);
#endif
}

TEST_F(Alloc, InfoChecksTheHeaderComplement) {
    std::vector<std::uint8_t> bytes(0xC0, 0x11);
    // -(29 * 0x11) - 0x19 = -0x206 = 0xFA mod 256.
    bytes[0xBD] = 0xFA;
    const std::string good = folder_.Write("good.gba", bytes);
    EXPECT_NE(Gapwell({"info", good}).out.find("header check: ok\n"), std::string::npos);
    EXPECT_NE(Gapwell({"info", good, "--json"})
                  .out.find(R"("header_check":{"ok":true,"is":250,"should_be":250})"),
              std::string::npos);
    bytes.resize(0xBD);
    const CommandRun cut = Gapwell({"info", folder_.Write("cut.gba", bytes), "--json"});
    EXPECT_NE(cut.out.find(R"("header_check":null)"), std::string::npos) << cut.out;
}

}  // namespace
}  // namespace gapwell
