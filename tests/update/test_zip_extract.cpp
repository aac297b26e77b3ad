#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/RuntimeError.h"
#include "support/TempFiles.h"
#include "support/TestZip.h"
#include "update/InstallFixture.h"
#include "update/NoFollow.h"
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
    std::vector<std::string> Extract(const ExtractBounds& bounds) {
        const UniqueFd from = OpenFolder(folder.Path().string());
        const UniqueFd into = OpenFolder(target.Path().string());
        return ExtractTopLevelFiles(from.Get(), "GPW.zip", into.Get(), bounds);
    }

    test::TempFolder folder;
    std::string archive = (folder.Path() / "GPW.zip").string();
    test::TempFolder target;
};

TEST_F(ZipExtractTest, TopLevelFilesAreTakenAndTheRestIsSkipped) {
    test::WriteZip(archive, {{"GPW", "program"},
                             {"readme.txt", "new read-me"},
                             {"sub/", "", Kind::kFolder},
                             {"sub/inner.txt", "inner"},
                             {"link", "/etc/passwd", Kind::kLink},
                             {"../outside.txt", "outside"},
                             {"..", "dots"}});

    EXPECT_EQ(Extract(kReleaseExtractBounds), (std::vector<std::string>{"GPW", "readme.txt"}));

    EXPECT_EQ(Names(target.Path()), (std::set<std::string>{"GPW", "readme.txt"}));
    EXPECT_EQ(test::ReadText(target.Path() / "GPW"), "program");
    EXPECT_EQ(test::ReadText(target.Path() / "readme.txt"), "new read-me");
    EXPECT_FALSE(fs::exists(folder.Path() / "outside.txt"));
}

TEST_F(ZipExtractTest, ArchiveThatIsALinkOrAFifoIsNotOpened) {
    test::WriteZip((folder.Path() / "real.zip").string(), {{"GPW", "program"}});
    fs::create_symlink(folder.Path() / "real.zip", archive);
    EXPECT_THROW(Extract(kReleaseExtractBounds), RuntimeError);
    fs::remove(archive);
    ASSERT_EQ(::mkfifo(archive.c_str(), 0600), 0);
    EXPECT_THROW(Extract(kReleaseExtractBounds), RuntimeError);
    EXPECT_TRUE(fs::is_empty(target.Path()));
}

}  // namespace
}  // namespace gapwell
