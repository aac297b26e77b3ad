// gapwell.exe as a Windows build system runs it: paths with drive letters and backslashes, names
// outside ASCII, exit codes 0/1/2, and devices, pipes and folders refused with one line.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "support/TempFiles.h"

namespace gapwell {
namespace {

using test::BytesWithRun;
using test::ReadText;
using test::TempFolder;

struct CliRun {
    DWORD exitCode;
    std::string out;
    std::string err;
};

HANDLE InheritableFile(const std::filesystem::path& file) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs gapwell.exe (beside the test's working folder) with the UTF-16 argument text
// `arguments`, as a shell or build tool would start it, and waits at most 10 s for it.
CliRun Gapwell(const TempFolder& folder, const std::wstring& arguments) {
    const auto outFile = folder.Path() / "stdout.txt";
    const auto errFile = folder.Path() / "stderr.txt";
    const HANDLE out = InheritableFile(outFile);
    const HANDLE err = InheritableFile(errFile);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = out;
    startup.hStdError = err;
    const auto program = std::filesystem::current_path() / "gapwell.exe";
    std::wstring commandLine = L"\"" + program.wstring() + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        0, nullptr, nullptr, &startup, &process);
    CloseHandle(out);
    CloseHandle(err);
    if (!started) {
        ADD_FAILURE() << "cannot start " << program.string() << ": " << GetLastError();
        return {~DWORD{0}, {}, {}};
    }
    DWORD exitCode = ~DWORD{0};
    if (WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    } else {
        ADD_FAILURE() << "gapwell.exe did not end within 10 s";
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, INFINITE);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {exitCode, ReadText(outFile), ReadText(errFile)};
}

std::wstring Quoted(const std::filesystem::path& path) {
    return L"\"" + path.wstring() + L"\"";
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

void ExpectOneErrorLine(const CliRun& run, const std::string& expected) {
    EXPECT_EQ(run.exitCode, 2u) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.find('\r'), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
}

class GapwellExe : public ::testing::Test {
  protected:
    void SetUp() override {
        rom_ = std::filesystem::absolute(folder_.Path() / "test.gba").lexically_normal();
        const auto bytes = BytesWithRun(0x8000, 0x37, 0x4001, 0x200, 0xFF);
        std::ofstream(rom_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        romBytes_ = ReadText(rom_);
        ASSERT_EQ(romBytes_.size(), 0x8000u);
    }
    void TearDown() override {
        EXPECT_EQ(ReadText(rom_), romBytes_) << "the ROM must never be written";
    }

    TempFolder folder_;
    std::filesystem::path rom_;
    std::string romBytes_;
};

TEST_F(GapwellExe, ExitCodesAreZeroOneAndTwo) {
    const CliRun found = Gapwell(folder_, L"find " + Quoted(rom_));
    EXPECT_EQ(found.exitCode, 0u);
    EXPECT_EQ(found.out, "4001\n");  // "\n" alone: the same bytes as on other systems

    const CliRun none = Gapwell(folder_, L"find " + Quoted(rom_) + L" --needed 513");
    EXPECT_EQ(none.exitCode, 1u);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "Not enough free space found.\n");

    ExpectOneErrorLine(Gapwell(folder_, L"find " + Quoted(rom_) + L" --byte 100"), "--byte");
    ExpectOneErrorLine(Gapwell(folder_, L"frobnicate"), "unknown command \"frobnicate\"");
}

TEST_F(GapwellExe, DriveLettersBackslashesAndSlashes) {
    const std::wstring backslashed = rom_.wstring();
    ASSERT_EQ(backslashed.substr(1, 2), L":\\") << rom_.string();
    std::wstring slashed = backslashed;
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    for (const std::wstring& path : {backslashed, slashed}) {
        const CliRun run = Gapwell(folder_, L"scan \"" + path + L"\" --needed 16 --json");
        EXPECT_EQ(run.exitCode, 0u) << run.err;
        EXPECT_EQ(run.out, "[{\"offset\":16385,\"length\":512}]\n");
    }
    // A relative path, taken from the working folder as usual.
    const CliRun relative = Gapwell(folder_, L"info " + rom_.filename().wstring());
    ExpectOneErrorLine(relative, "test.gba");  // the working folder is not the ROM's folder
}

TEST_F(GapwellExe, NamesOutsideAsciiInAndOut) {
    const auto named = folder_.Path() / std::filesystem::path(u8"Pokémon ポケモン \U0001F3AE.gba");
    std::filesystem::copy_file(rom_, named);
    const CliRun run = Gapwell(folder_, L"find " + Quoted(named) + L" --needed 512");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, "4001\n");

    // Error lines name the file in UTF-8.
    const auto missing = folder_.Path() / std::filesystem::path(u8"Zelda ゼルダ.gba");
    ExpectOneErrorLine(Gapwell(folder_, L"info " + Quoted(missing)), Utf8(missing));
    EXPECT_FALSE(std::filesystem::exists(missing));

    // A lone surrogate is no character at all: refused, not turned into another name.
    ExpectOneErrorLine(Gapwell(folder_, L"info bad\xD800name.gba"), "Not valid Unicode");
}

TEST_F(GapwellExe, DevicesPipesAndFoldersAreRefusedAtOnce) {
    const std::wstring pipeName =
        L"\\\\.\\pipe\\gapwell-cli-" + std::to_wstring(GetCurrentProcessId());
    const HANDLE server = CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE,
                                           1, 4096, 4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    for (const std::wstring& arguments :
         std::vector<std::wstring>{L"info NUL", L"scan NUL --byte 0", L"find \\\\.\\NUL",
                                   L"scan " + pipeName, L"info \\\\.\\C:"}) {
        const CliRun run = Gapwell(folder_, arguments);
        ExpectOneErrorLine(run, "Not a regular file");
    }
    CloseHandle(server);
    // The console is a character device, or cannot be opened by a process without one.
    ExpectOneErrorLine(Gapwell(folder_, L"find CON"), "CON");
    ExpectOneErrorLine(Gapwell(folder_, L"find " + Quoted(folder_.Path())), "Is a directory");
}

}  // namespace
}  // namespace gapwell
