#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "base/RuntimeError.h"
#include "support/TempFiles.h"
#include "update/InstallFixture.h"
#include "support/TestZip.h"
#include "update/ZipExtract.h"

namespace gapwell {
namespace {

namespace fs = std::filesystem;
using Kind = test::ZipEntry::Kind;

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class ZipExtractTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(updates);
        test::WriteFile(updates / "readme.txt", "old read-me");
    }

    test::TempFolder folder;
    fs::path updates = folder.Path() / "Updates";
    std::string archive = (updates / "GPW.zip").string();
    std::string target = updates.string() + "/";
};

TEST_F(ZipExtractTest, TopLevelFilesReplaceTheirNamesakesAndTheRestIsSkipped) {
    test::WriteZip(archive, {{"GPW", "program"},
                             {"readme.txt", "new read-me"},
                             {"sub/", "", Kind::kFolder},
                             {"sub/inner.txt", "inner"},
                             {"link", "/etc/passwd", Kind::kLink},
                             {"../outside.txt", "outside"},
                             {"..", "dots"}});

    ExtractTopLevelFiles(archive, target, kReleaseExtractBounds);

    EXPECT_EQ(Names(updates), (std::set<std::string>{"GPW", "GPW.zip", "readme.txt"}));
    EXPECT_EQ(test::ReadText(updates / "GPW"), "program");
    EXPECT_EQ(test::ReadText(updates / "readme.txt"), "new read-me");
    EXPECT_FALSE(fs::exists(folder.Path() / "outside.txt"));
}

TEST_F(ZipExtractTest, ArchiveOverTheBoundsChangesNothingEvenInTheUpdatesFolder) {
    test::WriteZip(archive, {{"readme.txt", "new read-me"}, {"GPW", std::string(600, '#')}});

    EXPECT_THROW(ExtractTopLevelFiles(archive, target, {512, 1000}), RuntimeError);

    EXPECT_EQ(Names(updates), (std::set<std::string>{"GPW.zip", "readme.txt"}));
    EXPECT_EQ(test::ReadText(updates / "readme.txt"), "old read-me");
}

}  // namespace
}  // namespace gapwell
