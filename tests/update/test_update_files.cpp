#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/RuntimeError.h"
#include "support/FakePlatform.h"
#include "support/TempFiles.h"
#include "update/UpdatePaths.h"
#include "update/UpdatesFolder.h"

namespace gapwell {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

TEST(UpdatesFolderTest, MissingFolderIsCreatedWithItsParents) {
    test::TempFolder folder;
    const fs::path updates = folder.Path() / "program" / "Updates";
    PrepareUpdatesFolder(updates.string() + "/");
    EXPECT_TRUE(fs::is_directory(updates));
}

TEST(UpdatesFolderTest, FilesGoSubfoldersAndLinkTargetsStay) {
    test::TempFolder folder;
    const fs::path updates = folder.Path() / "Updates";
    fs::create_directories(updates / "sub");
    WriteFile(updates / "GPW.zip", "old");
    WriteFile(updates / ".hidden", "old");
    WriteFile(updates / "sub" / "inner.txt", "kept");
    WriteFile(folder.Path() / "outside.txt", "kept");
    fs::create_symlink(folder.Path() / "outside.txt", updates / "link");
    fs::create_directory_symlink(folder.Path(), updates / "folderlink");

    PrepareUpdatesFolder(updates.string() + "/");

    EXPECT_FALSE(fs::exists(updates / "GPW.zip"));
    EXPECT_FALSE(fs::exists(updates / ".hidden"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(updates / "link")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(updates / "folderlink")));
    EXPECT_TRUE(fs::exists(updates / "sub" / "inner.txt"));
    EXPECT_TRUE(fs::exists(folder.Path() / "outside.txt"));
}

TEST(UpdatesFolderTest, FileInThePlaceOfTheFolderIsAFailure) {
    test::TempFolder folder;
    WriteFile(folder.Path() / "Updates", "a file");
    EXPECT_THROW(PrepareUpdatesFolder((folder.Path() / "Updates").string() + "/"), RuntimeError);
}

TEST(UpdatePathsTest, TempPathEndsInASlash) {
    FakePlatform platform;
    SetCurrentPlatform(&platform);
    platform.tempFolder = "/var/tmp";
    EXPECT_EQ(GetTempPath(), "/var/tmp/");
    platform.tempFolder = "/tmp/";
    EXPECT_EQ(GetTempPath(), "/tmp/");
    SetCurrentPlatform(nullptr);
}

TEST(UpdatePathsTest, FolderExistsOnlyForFolders) {
    test::TempFolder folder;
    WriteFile(folder.Path() / "file", "x");
    EXPECT_TRUE(FolderExists(folder.Path().string()));
    EXPECT_TRUE(FolderExists(folder.Path().string() + "/"));
    EXPECT_FALSE(FolderExists((folder.Path() / "file").string()));
    EXPECT_FALSE(FolderExists((folder.Path() / "none").string()));
    EXPECT_FALSE(FolderExists(""));
}

}  // namespace
}  // namespace gapwell
