#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include "base/RuntimeError.h"
#include "support/FakePlatform.h"
#include "support/TempFiles.h"
#include "update/AutomaticCheck.h"

namespace gapwell {
namespace {

namespace fs = std::filesystem;

int ErrorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

TEST(AutomaticCheckTest, FileSitsInTheConfigurationFolder) {
    FakePlatform platform;
    SetCurrentPlatform(&platform);
    platform.programFolder = "/opt/gpw";
    EXPECT_EQ(AutomaticCheckFile(), "/opt/gpw/autoupdate.dat");
    platform.fileLocations = FileLocations{"/home/bo/.local/state/gpw", "/home/bo/.config/gpw/"};
    EXPECT_EQ(AutomaticCheckFile(), "/home/bo/.config/gpw/autoupdate.dat");
    SetCurrentPlatform(nullptr);
}

// Only the first byte counts: 0 is off, anything else on; a missing file is on and stays
// missing, an empty one is off.
TEST(AutomaticCheckTest, FirstByteDecides) {
    const test::TempFolder folder;
    const fs::path setting = folder.Path() / "autoupdate.dat";
    EXPECT_TRUE(ReadAutomaticCheck(setting.string()));
    EXPECT_FALSE(fs::exists(setting));

    const struct {
        std::string content;
        bool on;
    } cases[] = {{"", false}, {std::string(1, '\0'), false},        {"\x01", true},
                 {"0", true}, {std::string("\0garbled", 8), false}, {"\xff\x00", true}};
    for (const auto& c : cases) {
        test::WriteText(setting, c.content);
        EXPECT_EQ(ReadAutomaticCheck(setting.string()), c.on) << c.content.size();
    }
    // A large file is not read past its first byte.
    test::WriteText(setting, "\x01");
    fs::resize_file(setting, 1LL << 30);
    EXPECT_TRUE(ReadAutomaticCheck(setting.string()));
}

// A link is read through; what is not a regular file (a folder, a FIFO, a device, a dangling
// link) counts as missing: on, and reading never blocks.
TEST(AutomaticCheckTest, OnlyARegularFileIsRead) {
    const test::TempFolder folder;
    const std::string off = folder.Write("off.dat", {0});
    const fs::path link = folder.Path() / "autoupdate.dat";
    fs::create_symlink(off, link);
    EXPECT_FALSE(ReadAutomaticCheck(link.string()));

    const fs::path fifo = folder.Path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path nullLink = folder.Path() / "null";
    fs::create_symlink("/dev/null", nullLink);
    const fs::path dangling = folder.Path() / "dangling";
    fs::create_symlink(folder.Path() / "missing", dangling);
    for (const fs::path& odd : {folder.Path(), fifo, nullLink, dangling}) {
        EXPECT_TRUE(ReadAutomaticCheck(odd.string())) << odd;
    }
}

TEST(AutomaticCheckTest, WritingSetsTheFirstByteAndKeepsTheRest) {
    const test::TempFolder folder;
    const fs::path setting = folder.Path() / "config" / "gpw" / "autoupdate.dat";
    WriteAutomaticCheck(setting.string(), false);
    EXPECT_EQ(test::ReadText(setting), std::string(1, '\0'));
    EXPECT_FALSE(ReadAutomaticCheck(setting.string()));
    EXPECT_EQ(fs::status(setting).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);

    test::WriteText(setting, std::string("\0rest", 5));
    WriteAutomaticCheck(setting.string(), true);
    EXPECT_EQ(test::ReadText(setting), "\x01rest");
    EXPECT_TRUE(ReadAutomaticCheck(setting.string()));
    WriteAutomaticCheck(setting.string(), false);
    EXPECT_EQ(test::ReadText(setting), std::string("\0rest", 5));
}

// Failures are errors with the system's number.
TEST(AutomaticCheckTest, WriteFailuresThrow) {
    const test::TempFolder folder;
    const std::string file = folder.Write("file", {'x'});
    EXPECT_EQ(ErrorNumberOf([&] { WriteAutomaticCheck(file + "/autoupdate.dat", true); }), ENOTDIR);
    EXPECT_EQ(ErrorNumberOf([&] { WriteAutomaticCheck(folder.Path().string(), true); }), EISDIR);
}

// Links to a file or a device and a FIFO planted in the setting's place are replaced by the
// setting (mode 0644 whatever the umask), never written through; their targets keep their bytes.
TEST(AutomaticCheckTest, WhatIsPlantedInTheSettingsPlaceIsReplaced) {
    const test::TempFolder folder;
    const std::string target = folder.Write("target", {'t', 'a', 'r', 'g', 'e', 't'});
    const fs::path setting = folder.Path() / "config" / "autoupdate.dat";
    const std::function<void()> plants[] = {[&] { fs::create_symlink(target, setting); },
                                            [&] { fs::create_symlink("/dev/full", setting); },
                                            [&] { ASSERT_EQ(::mkfifo(setting.c_str(), 0600), 0); }};
    fs::create_directories(setting.parent_path());
    const mode_t umask = ::umask(0077);
    for (const auto& plant : plants) {
        fs::remove(setting);
        plant();
        WriteAutomaticCheck(setting.string(), false);
        EXPECT_EQ(fs::symlink_status(setting).type(), fs::file_type::regular);
        EXPECT_EQ(fs::status(setting).permissions(), fs::perms(0644));
        EXPECT_EQ(test::ReadText(setting), std::string(1, '\0'));
    }
    ::umask(umask);
    EXPECT_EQ(test::ReadText(target), "target");
    EXPECT_EQ(
        std::distance(fs::directory_iterator(setting.parent_path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace gapwell
