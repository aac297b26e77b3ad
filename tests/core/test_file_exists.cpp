#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "services/modMisc.h"

namespace gapwell {
namespace {

class FileExistsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.Write("rom.gba", "ROM");
        folder.Write(".hidden.gba", "ROM");
        folder.Write("Game [U].gba", "ROM");
        std::filesystem::create_directory(folder.File("sub.gba"));
        std::filesystem::create_directory(folder.File("only-folders"));
        std::filesystem::create_directory(folder.File("only-folders/inner"));
        folder.Write("only-folders/.secret", "x");
    }

    testing::ScratchFolder folder;
};

TEST_F(FileExistsTest, NamedPaths) {
    const std::vector<std::pair<std::string, bool>> cases{
        {"", false},
        {folder.File("rom.gba"), true},
        {folder.File("Game [U].gba"), true},
        {folder.File("missing.gba"), false},
        {folder.File("sub.gba"), false},
        {folder.Path(), false},
        {folder.Path() + "/", false},
        {folder.File(".hidden.gba"), false},
        {folder.File("no-such-folder/rom.gba"), false},
        {folder.File("rom.gba/rom.gba"), false},
    };
    for (const auto& [path, exists] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(FileExists(path), exists);
    }
}

TEST_F(FileExistsTest, WildcardsMatchVisibleNormalFiles) {
    const std::vector<std::pair<std::string, bool>> cases{
        {"*.gba", true},       {"r?m.gba", true},         {"[qr]om.gba", true},
        {"[st]om.gba", false}, {"*.bin", false},          {"sub*", false},
        {".*", false},         {"only-folders/*", false}, {"no-such-folder/*", false},
        {"*/rom.gba", false},
    };
    for (const auto& [pattern, exists] : cases) {
        SCOPED_TRACE(pattern);
        EXPECT_EQ(FileExists(folder.File(pattern)), exists);
    }
}

}  // namespace
}  // namespace gapwell
