// gapwell alloc, run in-process: bad values, every output format read back, the ledger.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <thread>

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

    // A ledger just under the size limit, of blocks past the ROM's end.
    std::string FullLedger() const {
        std::string text;
        for (int i = 0; text.size() < (1 << 20) - 100; ++i) {
            // Appended piece by piece: MinGW's GCC 12 warns wrongly about "k" + std::string.
            text += 'k';
            text += std::to_string(i) + ' ' + std::to_string(100000 + i) + " 1 1\n";
        }
        return File("full.ledger", text);
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
        {{"--block", "a:1", "--block", "A_size:1"}, "would both define a_SIZE"},
        {{"--block", "a:4", "--blocks", ""}, "--blocks: an empty file name"},
        {{"--block", "a:4", "--reserve", ""}, "--reserve: an empty file name"},
        {{"--block", "a:4", "--ledger", ""}, "--ledger: an empty file name"},
        {{"--block", "int:4"}, "block name int is a C or C++ keyword"},
        {{"--block", "a:4", "--prefix", "x", "--block", "or:4"}, "xor is a C or C++ keyword"},
        {{"--block", "SHELL:4"}, "SHELL is one of make's special variables"},
        {{"--block", "Tiles:4", "--block", "tiles:4"}, "Tiles and tiles differ only in case"},
        {{"--block", "a:4", "--prefix", "9"}, "bad value for --prefix"},
        {{"--block", "a:4", "--from", "8000"},
         "--from 8000 is at or past the end of the ROM (8000)"},
        {{"--block", "a:4", "--reserve", File("r3.txt", "4000 +20\n"), "--ledger",
          File("l4.txt", "x 4010 4 4\n")},
         "conflict: block x of the ledger (at 4010, 4 bytes) lies in a reserved range"},
        {{"--block", "a:4", "--from", "4012", "--ledger", File("l5.txt", "x 4010 4 4\n")},
         "x of the ledger (at 4010, 4 bytes) lies outside the range to use"},
        {{"--block", "a:4", "--ledger", File("l6.txt", std::string("a\0b 10 4 4\n", 11))},
         "l6.txt:1: bad name \"a\\x00b\""},
        {{"--insert", "a=" + File("empty.bin", "")}, "empty.bin is empty: block a"},
        {{"--insert", "a"}, "bad value for --insert"},
        {{"--block", "a:4", "--fix-header"}, "need --write OUT"},
        {{"--block", "a:4", "--write", ""}, "--write: an empty file name"},
        {{"--block", "a:4", "--write", rom_}, "are the same file"},
        {{"--block", "a:4", "--write", folder}, "is not a regular file"},
        {{"--block", "a:4", "--write", folder + "/o.gba", "--patch", folder + "/o.txt"},
         "must end in .bps, .ups or .ips"},
        {{"--block", "a:4", "--write", folder + "/o.gba", "--expand", "3"}, "a multiple of 4"},
        {{"--block", "a:4", "--write", folder + "/o.gba", "--expand", "16"},
         "smaller than the ROM (32768 bytes)"},
        {{"--block", "a:4", "--write", folder + "/o.gba", "--expand", "0x1000004", "--patch",
          folder + "/o.ips"},
         "at or beyond 16 MiB"},
        {{"--block", "a:4", "--ledger", FullLedger(), "--update-ledger", "--block",
          std::string(200, 'n') + ":4"},
         "more than the 1048576 a ledger may hold; it was not written"},
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
    // A ledger that is a link: its target gets the new ledger, the link stays.
    const auto link = folder_.Path() / "link.ledger";
    std::filesystem::create_symlink(ledger, link);
    EXPECT_EQ(Gapwell({"alloc", rom_, "--ledger", link.string(), "--update-ledger", "--block",
                       "linked:4"})
                  .exitCode,
              0);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_NE(ReadText(ledger).find("linked "), std::string::npos);
#endif
}

TEST_F(Alloc, ListFilesAndLedgersGiveThePlan) {
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        std::string out;
        std::string err;
    } cases[] = {
        // A grown block with room keeps its place; one grown up to its run's last byte too.
        {{"--block", "g:32", "--ledger", File("grown.txt", "g 4010 16 4\n")}, 0, "g 4010 32\n", ""},
        {{"--block", "g:240", "--ledger", File("full.txt", "g 6010 16 4\n")},
         0,
         "g 6010 240\n",
         ""},
        // A new alignment that its place breaks moves it.
        {{"--block", "g:16:8", "--ledger", File("aligned.txt", "g 4014 16 4\n")},
         0,
         "g 6010 16\n",
         "moved: g from 4014 to 6010 (it no longer fits at its earlier place)\n"},
        {{"--block", "g:16", "--forget", "g", "--ledger", File("forget.txt", "g 4010 16 4\n")},
         0,
         "g 6010 16\n",
         "moved: g from 4010 to 6010 (forgotten, so placed anew)\n"},
        {{"--block", "a:4:1073741824", "--byte", "37", "--margin", "0"}, 0, "a 0 4\n", ""},
        // The largest values, lower-case hex digits, START +LENGTH and CR LF lines.
        {{"--block", "a:4", "--ledger", File("top.txt", "x 7FFFFFF0 16 4\n")}, 0, "a 6010 4\n", ""},
        {{"--block", "a:4", "--reserve", File("top_r.txt", "7ffffff0 80000000\n")},
         0,
         "a 6010 4\n",
         ""},
        {{"--block", "a:4", "--to", "5000", "--reserve", File("hex.txt", "4000 401f\n")},
         0,
         "a 4020 4\n",
         ""},
        {{"--block", "a:4", "--to", "5000", "--reserve", File("plus.txt", "4010 +10\n")},
         0,
         "a 4020 4\n",
         ""},
        {{"--blocks", File("crlf.txt", "a 4\r\nb 8 8\r\n")}, 0, "b 6010 8\na 6018 4\n", ""},
        {{"--block", "a:4", "--format", "json", "--address", "rom"},
         0,
         R"({"blocks":[{"name":"a","address":134242320,"size":4,"align":4,"moved":false}]})"
         "\n",
         ""},
        {{"--block", "int:4", "--prefix", "gw_", "--format", "armips"},
         0,
         ".definelabel gw_int,0x08006010\n.definelabel gw_int_SIZE,4\n",
         ""},
        {{"--block", "a:4", "--margin", "3000"},
         1,
         "",
         "does not fit: a (4 bytes, alignment 4)\nlargest free run left: none\n"},
    };
    for (const auto& [arguments, exitCode, out, err] : cases) {
        std::vector<std::string> all{"alloc", rom_};
        all.insert(all.end(), arguments.begin(), arguments.end());
        const CommandRun run = Gapwell(all);
        EXPECT_EQ(run.exitCode, exitCode) << arguments.back();
        EXPECT_EQ(run.out, out) << arguments.back();
        EXPECT_EQ(run.err, err) << arguments.back();
    }
    // A block that shrank is written with its new size.
    const std::string ledger = File("shrunk.txt", "g 4010 32 4\n");
    EXPECT_EQ(
        Gapwell({"alloc", rom_, "--block", "g:16", "--ledger", ledger, "--update-ledger"}).out,
        "g 4010 16\n");
    EXPECT_NE(ReadText(ledger).find("\ng 4010 16 4\n"), std::string::npos);
}

TEST_F(Alloc, InsertWritesTheNewRomAndAPatchThatMakesIt) {
    const std::string a = File("a.bin", "\x01\x02\x03\x04\x05");
    const std::string b = File("b.bin", std::string(40, '\x22'));
    const std::string blocks = File("blocks.txt", "b @" + b + " 16\n");
    const std::string input = ReadText(rom_);
    const auto run = [&](const std::string& out) {
        return Gapwell({"alloc", rom_, "--insert", "a=" + a, "--blocks", blocks, "--write", out,
                        "--patch", out + ".bps", "--fix-header", "--expand", "0x9000", "--ledger",
                        (folder_.Path() / "l.txt").string(), "--update-ledger"});
    };
    const std::string out = (folder_.Path() / "out.gba").string();
    const CommandRun first = run(out);
    ASSERT_EQ(first.exitCode, 0) << first.err;
    const auto plan = ReadPlan(first.out, R"((\w+) ([0-9A-F]+) \d+)");
    const std::string written = ReadText(out);
    ASSERT_EQ(written.size(), 0x9000u);
    std::string expected = input + std::string(0x1000, '\xFF');
    expected.replace(static_cast<std::size_t>(plan.at("a")), 5, ReadText(a));
    expected.replace(static_cast<std::size_t>(plan.at("b")), 40, ReadText(b));
    expected[0xBD] = written[0xBD];
    EXPECT_EQ(written, expected);
    EXPECT_EQ(written[0xBD], '\xAC');  // -(29 * 0x37 + 0x19) mod 256
    EXPECT_EQ(ReadText(rom_), input);
    // The patch makes it from the input; a second run with the ledger writes the same ROM.
    const std::string applied = (folder_.Path() / "applied.gba").string();
    EXPECT_EQ(Gapwell({"patch", "apply", rom_, out + ".bps", applied}).exitCode, 0);
    EXPECT_EQ(ReadText(applied), written);
    const std::string again = (folder_.Path() / "again.gba").string();
    EXPECT_EQ(run(again).out, first.out);
    EXPECT_EQ(ReadText(again), written);
}

TEST_F(Alloc, PatchCheckNamesTheBytesThatTwoPatchesChange) {
    const std::string ledger = (folder_.Path() / "l.txt").string();
    const std::string one = (folder_.Path() / "one.bps").string();
    const std::string two = (folder_.Path() / "two.ips").string();
    // Both blocks go to 6010, the best fit; only the first is kept in the ledger.
    ASSERT_EQ(
        Gapwell({"alloc", rom_, "--insert", "x=" + File("x.bin", std::string(16, 'A')), "--write",
                 one + ".gba", "--patch", one, "--ledger", ledger, "--update-ledger"})
            .out,
        "x 6010 16\n");
    ASSERT_EQ(Gapwell({"alloc", rom_, "--insert", "y=" + File("y.bin", std::string(32, 'B')),
                       "--write", two + ".gba", "--patch", two})
                  .out,
              "y 6010 32\n");
    EXPECT_EQ(Gapwell({"patch", "check", rom_, one, two}).out.find("no collisions"),
              std::string::npos);
    const CommandRun alone = Gapwell({"patch", "check", rom_, two, "--ledger", ledger});
    EXPECT_EQ(alone.exitCode, 1);
    EXPECT_EQ(alone.out, "in ledger block x: 6010, 16 bytes: " + two + "\n");
    const CommandRun both = Gapwell({"patch", "check", rom_, one, two, "--json"});
    EXPECT_EQ(both.exitCode, 1);
    // Windows paths have backslashes, which JSON doubles.
    const auto json = [](const std::string& path) {
        return std::regex_replace(path, std::regex(R"(\\)"), R"(\\)");
    };
    EXPECT_EQ(both.out, R"({"collisions":[{"offset":24592,"length":16,"patches":[")" + json(one) +
                            R"(",")" + json(two) + R"("],"block":null}]})" + "\n");
    EXPECT_EQ(Gapwell({"patch", "check", rom_, one}).out, "no collisions\n");
    // Made for another ROM: refused with both CRCs.
    const CommandRun other =
        Gapwell({"patch", "apply", one + ".gba", one, (folder_.Path() / "o.gba").string()});
    EXPECT_EQ(other.exitCode, 2);
    EXPECT_NE(other.err.find("the patch is for another ROM: it expects 32768 bytes with CRC32"),
              std::string::npos)
        << other.err;
}

TEST_F(Alloc, ParallelRunsWithOneLedgerTakeTurns) {
    const std::string ledger = (folder_.Path() / "shared.ledger").string();
    std::vector<std::thread> runs;
    for (int i = 0; i < 8; ++i) {
        runs.emplace_back([this, i, &ledger] {
            Gapwell({"alloc", rom_, "--ledger", ledger, "--update-ledger", "--block",
                     std::string(1, 'b') + std::to_string(i) + ":100"});
        });
    }
    for (std::thread& run : runs) {
        run.join();
    }
    const auto offsets = ReadPlan(ReadText(ledger), R"((\w+) ([0-9A-F]+) 100 4)");
    ASSERT_EQ(offsets.size(), 8u) << ReadText(ledger);
    std::set<std::int64_t> starts;
    for (const auto& [name, offset] : offsets) {
        starts.insert(offset);
    }
    EXPECT_EQ(starts.size(), 8u);
    EXPECT_GE(*std::next(starts.begin(), 7) - *std::next(starts.begin(), 6), 100);
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
