// The bounded whole-file reader and the environment lookup of the POSIX file helper.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "base/PosixFile.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

TEST(ReadWholeFile, ReadsUpToExactlyTheLimit) {
    const test::TempFolder folder;
    const std::vector<std::uint8_t> bytes(70000, 0x5A);  // more than one read piece
    const std::string path = folder.Write("archive.zip", bytes);
    EXPECT_EQ(ReadWholeFile(path, 70000), bytes);
    EXPECT_EQ(ReadWholeFile(path, 69999), std::nullopt);
    EXPECT_EQ(ReadWholeFile(folder.Write("empty", {}), 0), std::vector<std::uint8_t>());
}

TEST(ReadWholeFile, RefusesLinksFifosFoldersAndMissingFiles) {
    const test::TempFolder folder;
    const std::string target = folder.Write("target", {1, 2, 3});
    const std::filesystem::path link = folder.Path() / "link";
    std::filesystem::create_symlink(target, link);
    const std::filesystem::path fifo = folder.Path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadWholeFile(link.string(), 100), std::nullopt);
    EXPECT_EQ(ReadWholeFile(fifo.string(), 100), std::nullopt);  // and does not block
    EXPECT_EQ(ReadWholeFile(folder.Path().string(), 100), std::nullopt);
    EXPECT_EQ(ReadWholeFile((folder.Path() / "missing").string(), 100), std::nullopt);
}

TEST(EnvironmentValue, EmptyWhenNotSet) {
    ASSERT_EQ(::setenv("GAPWELL_TEST_VALUE", "set", 1), 0);
    EXPECT_EQ(EnvironmentValue("GAPWELL_TEST_VALUE"), "set");
    ASSERT_EQ(::unsetenv("GAPWELL_TEST_VALUE"), 0);
    EXPECT_EQ(EnvironmentValue("GAPWELL_TEST_VALUE"), "");
}

}  // namespace
}  // namespace gapwell
