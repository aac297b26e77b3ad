// The bounded whole-file reader and the environment lookup of the POSIX file helper.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
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

// A folder holding a regular file of three bytes, a link to it and a FIFO.
struct OddFiles {
    OddFiles() {
        std::filesystem::create_symlink(target, link);
        if (::mkfifo(fifo.c_str(), 0600) != 0) {
            throw std::runtime_error("mkfifo failed");
        }
    }
    const test::TempFolder folder;
    const std::string target = folder.Write("target", {1, 2, 3});
    const std::filesystem::path link = folder.Path() / "link";
    const std::filesystem::path fifo = folder.Path() / "fifo";
};

TEST(ReadWholeFile, RefusesLinksFifosFoldersAndMissingFiles) {
    const auto& [folder, target, link, fifo] = OddFiles();
    EXPECT_EQ(ReadWholeFile(link.string(), 100), std::nullopt);
    EXPECT_EQ(ReadWholeFile(fifo.string(), 100), std::nullopt);  // and does not block
    EXPECT_EQ(ReadWholeFile(folder.Path().string(), 100), std::nullopt);
    EXPECT_EQ(ReadWholeFile((folder.Path() / "missing").string(), 100), std::nullopt);
}

TEST(ReadWholeFile, SaysWhyItRefused) {
    const auto& [folder, target, link, fifo] = OddFiles();
    const auto errorOf = [](const std::string& path, std::int64_t maxBytes) {
        int error = 0;
        EXPECT_EQ(ReadWholeFile(path, maxBytes, &error), std::nullopt) << path;
        return error;
    };
    EXPECT_EQ(errorOf(link.string(), 100), ELOOP);
    EXPECT_EQ(errorOf(fifo.string(), 100), EINVAL);
    EXPECT_EQ(errorOf("/dev/null", 100), EINVAL);
    EXPECT_EQ(errorOf(folder.Path().string(), 100), EISDIR);
    EXPECT_EQ(errorOf((folder.Path() / "missing").string(), 100), ENOENT);
    EXPECT_EQ(errorOf(target, 2), EFBIG);
    EXPECT_EQ(errorOf(folder.Write("empty", {}), -1), EFBIG);
}

// A path the user named may be a link; what it points to must still be a regular file.
TEST(ReadWholeFile, FollowsALinkOnlyWhenAsked) {
    const auto& [folder, target, link, fifo] = OddFiles();
    const std::filesystem::path fifoLink = folder.Path() / "fifo-link";
    std::filesystem::create_symlink(fifo, fifoLink);

    EXPECT_EQ(ReadWholeFile(link.string(), 3, nullptr, LinkRule::Follow),
              std::vector<std::uint8_t>({1, 2, 3}));
    int error = 0;
    EXPECT_EQ(ReadWholeFile(link.string(), 2, &error, LinkRule::Follow), std::nullopt);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(ReadWholeFile(fifoLink.string(), 100, &error, LinkRule::Follow), std::nullopt);
    EXPECT_EQ(error, EINVAL);  // and does not block
}

// Files of /proc report a size of 0 and still hold text: the reader goes by what read gives.
TEST(ReadWholeFile, ReadsFilesWhoseReportedSizeIsZero) {
    struct stat status {};
    ASSERT_EQ(::stat("/proc/self/status", &status), 0);
    ASSERT_EQ(status.st_size, 0);
    const std::optional<std::vector<std::uint8_t>> bytes =
        ReadWholeFile("/proc/self/status", 1024 * 1024);
    ASSERT_TRUE(bytes.has_value());
    const std::string text(bytes->begin(), bytes->end());
    EXPECT_EQ(text.substr(0, 5), "Name:");
    EXPECT_EQ(text.back(), '\n');
    int error = 0;
    EXPECT_EQ(ReadWholeFile("/proc/self/status", 16, &error), std::nullopt);
    EXPECT_EQ(error, EFBIG);
}

TEST(EnvironmentValue, EmptyWhenNotSet) {
    ASSERT_EQ(::setenv("GAPWELL_TEST_VALUE", "set", 1), 0);
    EXPECT_EQ(EnvironmentValue("GAPWELL_TEST_VALUE"), "set");
    ASSERT_EQ(::unsetenv("GAPWELL_TEST_VALUE"), 0);
    EXPECT_EQ(EnvironmentValue("GAPWELL_TEST_VALUE"), "");
}

}  // namespace
}  // namespace gapwell
