#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "services/modMisc.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

class FileExistsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.Write("rom.gba", {1});
        folder.Write(".hidden.gba", {1});
        folder.Write("Game [U].gba", {1});
        std::filesystem::create_directory(folder.Path() / "sub.gba");
        std::filesystem::create_directory(folder.Path() / "only-folders");
        std::filesystem::create_directory(folder.Path() / "only-folders/inner");
        folder.Write("only-folders/.secret", {1});
    }
    std::string File(const std::string& name) const { return (folder.Path() / name).string(); }

    test::TempFolder folder;
};

TEST_F(FileExistsTest, NamedPaths) {
    const std::vector<std::pair<std::string, bool>> cases{
        {"", false},
        {File("rom.gba"), true},
        {File("Game [U].gba"), true},
        {File("missing.gba"), false},
        {File("sub.gba"), false},
        {folder.Path().string(), false},
        {folder.Path().string() + "/", false},
        {File(".hidden.gba"), false},
        {File("no-such-folder/rom.gba"), false},
        {File("rom.gba/rom.gba"), false},
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
        EXPECT_EQ(FileExists(File(pattern)), exists);
    }
}

}  // namespace
}  // namespace gapwell
