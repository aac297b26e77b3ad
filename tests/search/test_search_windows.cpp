// How ROM paths reach the file system on Windows: drive letters, backslashes, names outside
// ASCII (UTF-8 in the program, UTF-16 for Windows), and the things that are not files.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/RuntimeError.h"
#include "search/FreeRuns.h"
#include "search/RomFacts.h"
#include "search/modSearchFreeSpace.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using test::BytesWithRun;
using test::TempFolder;

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

std::int32_t Search(const std::string& file) {
    return SearchFreeSpace(file, 0xFF, 0x100, 0, kSearchChunkSize, 0);
}

void WriteRom(const std::filesystem::path& file) {
    const auto bytes = BytesWithRun(0x8000, 0x00, 0x2001, 0x300, 0xFF);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << Utf8(file);
}

void ExpectRefused(const std::string& path, const std::string& reason) {
    try {
        RomLength(path);
        ADD_FAILURE() << path << " must be refused";
    } catch (const RuntimeError& error) {
        EXPECT_NE(error.Description().find(reason), std::string::npos)
            << path << ": " << error.Description();
        EXPECT_NE(error.Description().find(path), std::string::npos) << error.Description();
    }
    EXPECT_THROW(Search(path), RuntimeError) << path;
}

TEST(WindowsPaths, DriveLettersBackslashesAndSlashesNameTheSameFile) {
    TempFolder folder;
    const auto rom = std::filesystem::absolute(folder.Path() / "run.gba");
    WriteRom(rom);
    std::string backslashed = Utf8(rom.lexically_normal());
    ASSERT_GE(backslashed.size(), 3u);
    ASSERT_EQ(backslashed.substr(1, 2), ":\\") << "expected a drive letter: " << backslashed;
    std::string slashed = backslashed;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    for (const std::string& path : {backslashed, slashed, "\\\\?\\" + backslashed}) {
        EXPECT_EQ(Search(path), 0x2001) << path;
        EXPECT_EQ(RomLength(path), 0x8000) << path;
    }
}

TEST(WindowsPaths, NamesOutsideAsciiAreFound) {
    TempFolder folder;
    // Latin accents, Japanese and a character outside the basic plane (a surrogate pair).
    const auto rom = folder.Path() / std::filesystem::path(u8"Pokémon ポケモン \U0001F3AE.gba");
    WriteRom(rom);
    const std::string path = Utf8(rom);
    EXPECT_EQ(Search(path), 0x2001);
    std::vector<FreeRun> runs;
    ScanFreeRuns(path, 0xFF, 0x10, 1, [&](const FreeRun& run) { runs.push_back(run); });
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].offset, 0x2001);
    EXPECT_EQ(runs[0].length, 0x300);

    const std::string missing = Utf8(folder.Path() / std::filesystem::path(u8"Pokémon.gba"));
    try {
        Search(missing);
        FAIL() << "a missing ROM must be reported";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), ERROR_FILE_NOT_FOUND);
        EXPECT_NE(error.Description().find(missing), std::string::npos) << error.Description();
    }
    EXPECT_FALSE(std::filesystem::exists(
        std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(missing.c_str())))));
    // Bytes that are not UTF-8 cannot name a file.
    ExpectRefused("rom\xFF\xFE.gba", "Not valid UTF-8");
}

TEST(WindowsPaths, DevicesPipesAndFoldersAreRefused) {
    TempFolder folder;
    for (const std::string path : {"NUL", "nul.gba"}) {
        ExpectRefused(path, "Not a regular file (it is a character device)");
    }
    // The console opens as a character device, or not at all in a process without one.
    ExpectRefused("CON", "");
    for (const std::string path : {"\\\\.\\NUL", "//./NUL", "\\\\.\\C:", "\\\\?\\C:",
                                   "\\\\.\\PhysicalDrive0", "\\\\?\\GLOBALROOT\\Device\\Null",
                                   "\\??\\GLOBALROOT\\Device\\Null", "\\\\.\\pipe\\gapwell-none"}) {
        ExpectRefused(path, "Not a regular file (it is a device)");
    }
    ExpectRefused(Utf8(folder.Path()), "Is a directory");

    // A pipe with a server waiting: refused at once, not read until the server writes.
    const std::wstring pipeName =
        L"\\\\.\\pipe\\gapwell-test-" + std::to_wstring(GetCurrentProcessId());
    const HANDLE server = CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE,
                                           1, 4096, 4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    ExpectRefused("\\\\.\\pipe\\gapwell-test-" + std::to_string(GetCurrentProcessId()),
                  "Not a regular file (it is a device)");
    CloseHandle(server);
}

TEST(WindowsPaths, AFileHeldOpenForWritingIsStillRead) {
    TempFolder folder;
    const auto rom = folder.Path() / "held.gba";
    WriteRom(rom);
    // An emulator or hex editor that keeps the ROM open lets others read it, nothing more.
    const HANDLE writer = CreateFileW(rom.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Search(Utf8(rom)), 0x2001);
    CloseHandle(writer);
}

}  // namespace
}  // namespace gapwell
