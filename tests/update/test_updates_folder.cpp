#include <gtest/gtest.h>

#include <filesystem>

#include "base/RuntimeError.h"
#include "support/TempFiles.h"
#include "update/install/UpdatesFolder.h"

namespace gapwell {
namespace {

namespace fs = std::filesystem;

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
    test::WriteText(updates / "GPW.zip", "old");
    test::WriteText(updates / ".hidden", "old");
    test::WriteText(updates / "sub" / "inner.txt", "kept");
    test::WriteText(folder.Path() / "outside.txt", "kept");
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
    test::WriteText(folder.Path() / "Updates", "a file");
    EXPECT_THROW(PrepareUpdatesFolder((folder.Path() / "Updates").string() + "/"), RuntimeError);
}

}  // namespace
}  // namespace gapwell
