#include <gtest/gtest.h>

#include "support/FakePlatform.h"
#include "support/TempFiles.h"
#include "update/files/UpdatePaths.h"

namespace gapwell {
namespace {

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
    test::WriteText(folder.Path() / "file", "x");
    EXPECT_TRUE(FolderExists(folder.Path().string()));
    EXPECT_TRUE(FolderExists(folder.Path().string() + "/"));
    EXPECT_FALSE(FolderExists((folder.Path() / "file").string()));
    EXPECT_FALSE(FolderExists((folder.Path() / "none").string()));
    EXPECT_FALSE(FolderExists(""));
}

}  // namespace
}  // namespace gapwell
