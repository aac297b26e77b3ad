#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/Version.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using test::BytesWithRun;
using test::TempFolder;

struct CliRun {
    int exitCode;
    std::string out;
    std::string err;
};

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the built gapwell binary with `arguments` (already shell-quoted where needed), its
// standard output going to `outputTarget` when given. A run that hangs is killed after 10 s.
CliRun Gapwell(const TempFolder& folder, const std::string& arguments,
               const std::string& outputTarget = {}) {
    const auto out = folder.Path() / "stdout.txt";
    const auto err = folder.Path() / "stderr.txt";
    const std::string command = "timeout 10 " + std::string(GAPWELL_CLI_PATH) + " " + arguments +
                                " >" + (outputTarget.empty() ? out.string() : outputTarget) +
                                " 2>" + err.string() + " </dev/null";
    std::filesystem::remove(out);
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out), ReadAll(err)};
}

void ExpectOneErrorLine(const CliRun& run, const std::string& arguments,
                        const std::string& expected) {
    EXPECT_EQ(run.exitCode, 2) << arguments;
    EXPECT_EQ(run.out, "") << arguments;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << arguments << run.err;
    EXPECT_NE(run.err.find(expected), std::string::npos) << arguments << run.err;
}

class GapwellCli : public ::testing::Test {
  protected:
    void SetUp() override {
        // Filler runs: 0x200 bytes of FF at 0x4000, 0x40 bytes of 00 at 0x6001 (odd).
        auto bytes = BytesWithRun(0x8000, 0x37, 0x4000, 0x200, 0xFF);
        for (std::size_t i = 0x6001; i < 0x6041; ++i) {
            bytes[i] = 0x00;
        }
        const std::string header = "GAPWELL TESTAGPE01";
        std::copy(header.begin(), header.end(), bytes.begin() + 0xA0);
        rom_ = folder_.Write("test.gba", bytes);
    }

    TempFolder folder_;
    std::string rom_;
};

TEST_F(GapwellCli, FindPrintsOffsetsInHexAndStepsLikeFindNext) {
    EXPECT_EQ(Gapwell(folder_, "find " + rom_).out, "4000\n");
    const CliRun steps = Gapwell(folder_, "find " + rom_ + " --count 100 --interval 16");
    EXPECT_EQ(steps.exitCode, 0);
    std::string expected;
    for (int offset = 0x4000; offset <= 0x4100; offset += 0x10) {
        std::stringstream line;
        line << std::uppercase << std::hex << offset << '\n';
        expected += line.str();
    }
    EXPECT_EQ(steps.out, expected);  // 4000, 4010, ... 4100, then nothing more
    EXPECT_EQ(Gapwell(folder_, "find " + rom_ + " --byte 0 --needed 64").out, "6001\n");
    EXPECT_EQ(Gapwell(folder_, "find " + rom_ + " --byte ff --needed 1 --from 41fF").out, "41FF\n");
}

TEST_F(GapwellCli, FindThatFindsNothingExitsOne) {
    const CliRun run = Gapwell(folder_, "find " + rom_ + " --needed 513");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Not enough free space found.\n");
    EXPECT_EQ(Gapwell(folder_, "find " + rom_ + " --needed 2147483647").exitCode, 1);
}

TEST_F(GapwellCli, ScanListsRunsAsTextAndJson) {
    EXPECT_EQ(Gapwell(folder_, "scan " + rom_ + " --needed 16").out, "4000 200\n");
    EXPECT_EQ(Gapwell(folder_, "scan " + rom_ + " --byte 00 --needed 16 --align 4").out,
              "6004 3D\n");
    EXPECT_EQ(Gapwell(folder_, "scan " + rom_ + " --needed 16 --json").out,
              "[{\"offset\":16384,\"length\":512}]\n");
    const CliRun none = Gapwell(folder_, "scan " + rom_ + " --needed 4096 --json");
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, "[]\n");
}

TEST_F(GapwellCli, InfoShowsTheHeader) {
    EXPECT_EQ(Gapwell(folder_, "info " + rom_).out,
              "length: 32768\ngame code: AGPE\ntitle: GAPWELL TEST\nmaker code: 01\n"
              "header check: wrong (is 37, should be A0)\n");
    EXPECT_EQ(
        Gapwell(folder_, "info --json " + rom_).out,
        "{\"length\":32768,\"game_code\":\"AGPE\",\"title\":\"GAPWELL TEST\","
        "\"maker_code\":\"01\",\"header_check\":{\"ok\":false,\"is\":55,\"should_be\":160}}\n");
    const CliRun shortRom = Gapwell(folder_, "info " + folder_.Write("short.gba", {'x'}));
    EXPECT_EQ(shortRom.exitCode, 0);
    EXPECT_EQ(shortRom.out, "length: 1\ngame code: \ntitle: \nmaker code: \n");
    EXPECT_NE(shortRom.err.find("shorter than a GBA header"), std::string::npos);
}

TEST_F(GapwellCli, InfoWarnsOnlyWhenTheMakerCodeIsCut) {
    // The maker code is the header's last field: bytes 0xB0 and 0xB1.
    std::vector<std::uint8_t> header(0xB2, 'A');
    const CliRun whole = Gapwell(folder_, "info " + folder_.Write("whole.gba", header));
    EXPECT_EQ(whole.exitCode, 0);
    EXPECT_EQ(whole.err, "");
    EXPECT_NE(whole.out.find("maker code: AA\n"), std::string::npos) << whole.out;

    header.pop_back();
    const CliRun cut = Gapwell(folder_, "info " + folder_.Write("cut.gba", header));
    EXPECT_EQ(cut.exitCode, 0);
    EXPECT_NE(cut.err.find("only 177 bytes long, shorter than a GBA header"), std::string::npos)
        << cut.err;
    EXPECT_NE(cut.out.find("maker code: A\n"), std::string::npos) << cut.out;
}

TEST_F(GapwellCli, InfoJsonEscapesTheTitle) {
    auto bytes = BytesWithRun(0x200, 0x37, 0x100, 0x10, 0xFF);
    const std::string header = "BACK\\SLASH\"QAGPE01";
    std::copy(header.begin(), header.end(), bytes.begin() + 0xA0);
    const CliRun run = Gapwell(folder_, "info --json " + folder_.Write("slash.gba", bytes));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(
        run.out,
        "{\"length\":512,\"game_code\":\"AGPE\",\"title\":\"BACK\\\\SLASH\\\"Q\","
        "\"maker_code\":\"01\",\"header_check\":{\"ok\":false,\"is\":55,\"should_be\":177}}\n");
}

TEST_F(GapwellCli, FindNeedsTwoHundredFiftySixBytesUnlessTold) {
    // The run of FF ends at 0x4200: from 0x4100 it holds 256 bytes, from 0x4101 only 255.
    EXPECT_EQ(Gapwell(folder_, "find " + rom_ + " --from 4100").out, "4100\n");
    const CliRun tooShort = Gapwell(folder_, "find " + rom_ + " --from 4101");
    EXPECT_EQ(tooShort.exitCode, 1);
    EXPECT_EQ(tooShort.out, "");
}

TEST_F(GapwellCli, FindAllowsAnIntervalOfZero) {
    // Find next from the last result itself finds that result again.
    const CliRun run = Gapwell(folder_, "find " + rom_ + " --count 2 --interval 0");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "4000\n4000\n");
}

TEST_F(GapwellCli, VersionNamesTheProduct) {
    const CliRun run = Gapwell(folder_, "--version");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, std::string(version::kProductName) + " " + version::kVersionText + "\n");
}

TEST_F(GapwellCli, ErrorsPrintOneLineAndExitTwo) {
    const std::string missing = (folder_.Path() / "missing.gba").string();
    for (const std::string& arguments : std::vector<std::string>{
             "find " + missing, "scan " + missing, "info " + missing,
             "find " + rom_ + " --byte 100", "find " + rom_ + " --byte G",
             "find " + rom_ + " --needed 0", "find " + rom_ + " --needed 2147483648",
             "find " + rom_ + " --needed -1", "find " + rom_ + " --from 80000000",
             "find " + rom_ + " --from 0x10", "find " + rom_ + " --count 0",
             "scan " + rom_ + " --align 3", "find " + rom_ + " --interval 1.5",
             "find " + rom_ + " --bogus", "find", "frobnicate",
             "info " + folder_.Path().string()}) {
        const CliRun run = Gapwell(folder_, arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << arguments << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(GapwellCli, RefusesFifosAndDevicesWithoutWaiting) {
    const std::string fifo = (folder_.Path() / "fifo.gba").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A writer keeps the FIFO open, so that even a blocking open returns at once.
    const int writer = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    for (const std::string& arguments :
         {"find " + fifo, "scan " + fifo, "info " + fifo, std::string("info /dev/zero"),
          std::string("scan /dev/zero --byte 0")}) {
        ExpectOneErrorLine(Gapwell(folder_, arguments), arguments, "Not a regular file");
    }
    ::close(writer);
    // Without any writer the FIFO is still refused at once instead of waiting for one.
    ExpectOneErrorLine(Gapwell(folder_, "info " + fifo), "info without writer",
                       "Not a regular file (it is a FIFO)");
}

TEST_F(GapwellCli, OutputThatCannotBeWrittenIsAnError) {
    for (const std::string& arguments :
         {"find " + rom_, "scan " + rom_ + " --needed 16", "info " + rom_}) {
        const CliRun run = Gapwell(folder_, arguments, "/dev/full");
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_EQ(run.err, "gapwell: cannot write the output: No space left on device\n")
            << arguments;
    }
}

TEST_F(GapwellCli, OutputStopsAtTheFirstWriteThatFails) {
    // Every offset of this ROM is a result: listing them all would take hours, and the run is
    // killed after 10 s.
    const std::string full = folder_.Write("full.gba", std::vector<std::uint8_t>(4 << 20, 0xFF));
    const CliRun find =
        Gapwell(folder_, "find " + full + " --needed 1 --from 1 --interval 1 --count 2147483647",
                "/dev/full");
    EXPECT_EQ(find.exitCode, 2);
    EXPECT_EQ(find.err, "gapwell: cannot write the output: No space left on device\n");

    // Far more lines than one buffer holds: the reason is still named.
    std::vector<std::uint8_t> stripes(0x8000, 0x00);
    for (std::size_t i = 0; i < stripes.size(); i += 2) {
        stripes[i] = 0xFF;
    }
    for (const char* json : {"", " --json"}) {
        const CliRun scan =
            Gapwell(folder_, "scan " + folder_.Write("stripes.gba", stripes) + " --needed 1" + json,
                    "/dev/full");
        EXPECT_EQ(scan.exitCode, 2) << json;
        EXPECT_EQ(scan.err, "gapwell: cannot write the output: No space left on device\n") << json;
    }
}

TEST_F(GapwellCli, UnknownCommandIsNamedWithTheCommands) {
    for (const std::string& arguments :
         {"frob " + rom_, std::string("frob"), "--json frob " + rom_}) {
        const CliRun run = Gapwell(folder_, arguments);
        ExpectOneErrorLine(run, arguments, "unknown command \"frob\"");
        EXPECT_NE(run.err.find("find, scan, info, alloc and patch"), std::string::npos) << run.err;
    }
}

TEST_F(GapwellCli, ControlCharactersInNamesAreEscaped) {
    const std::string name = (folder_.Path() / "two\nlines\x01.gba").string();
    const CliRun run = Gapwell(folder_, "info '" + name + "'");
    ExpectOneErrorLine(run, "name with a line break", "two\\nlines\\x01.gba");

    // The warning about a file shorter than a header names it the same way.
    const CliRun shortRom =
        Gapwell(folder_, "info '" + folder_.Write("short\nrom.gba", {'x'}) + "'");
    EXPECT_EQ(shortRom.exitCode, 0);
    EXPECT_EQ(std::count(shortRom.err.begin(), shortRom.err.end(), '\n'), 1) << shortRom.err;
    EXPECT_NE(shortRom.err.find("short\\nrom.gba is only 1 bytes long"), std::string::npos)
        << shortRom.err;
}

TEST_F(GapwellCli, InfoShowsNoBytesBeyondTheLength) {
    // A system file reports length 0 but yields text when read.
    const CliRun run = Gapwell(folder_, "info /proc/self/status");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "length: 0\ngame code: \ntitle: \nmaker code: \n");
}

TEST_F(GapwellCli, NameThatLooksLikeAnOptionGetsAHint) {
    ExpectOneErrorLine(Gapwell(folder_, "find -leading.gba"), "find -leading.gba",
                       "\"-leading.gba\" is not an option of find; a ROM whose name begins with "
                       "\"-\" goes after \"--\", which ends the options: gapwell find -- "
                       "-leading.gba");
}

TEST_F(GapwellCli, LeadingZerosDoNotCountAgainstTheRange) {
    EXPECT_EQ(
        Gapwell(folder_, "find " + rom_ + " --needed 00000000000000000005 --from 00000004000").out,
        "4000\n");
    EXPECT_EQ(Gapwell(folder_, "find " + rom_ + " --byte 0000 --needed 064").out, "6001\n");
    ExpectOneErrorLine(Gapwell(folder_, "find " + rom_ + " --needed 00000000000000000000"),
                       "zeros only", "bad number for --needed");
}

}  // namespace
}  // namespace gapwell
