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
        return ExtractBytes(test::ReadText(archive), bounds);
    }
    std::vector<std::string> ExtractBytes(const std::string& bytes, const ExtractBounds& bounds) {
        const UniqueFd into = OpenFolder(target.Path().string());
        return ExtractTopLevelFiles(bytes, "GPW.zip", into.Get(), bounds);
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

// The archive is read from memory as it was checked: bytes cut short or no zip at all are
// refused before anything is written.
TEST_F(ZipExtractTest, ArchiveCutShortOrNoZipIsRefused) {
    test::WriteZip(archive, {{"GPW", "program"}});
    const std::string bytes = test::ReadText(archive);
    for (const std::string& damaged : {bytes.substr(0, bytes.size() - 1),
                                       bytes.substr(0, bytes.size() / 2), std::string("PK")}) {
        EXPECT_THROW(ExtractBytes(damaged, kReleaseExtractBounds), RuntimeError) << damaged.size();
    }
    EXPECT_TRUE(fs::is_empty(target.Path()));
}

}  // namespace
}  // namespace gapwell
