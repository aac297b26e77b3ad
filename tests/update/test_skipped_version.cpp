#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/TempFiles.h"
#include "update/SkippedVersion.h"

namespace gapwell {
namespace {

namespace fs = std::filesystem;

std::string Record(const test::TempFolder& folder) {
    return (folder.Path() / "config" / "skipversion.dat").string();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SkippedVersionTest, WrittenVersionIsReadBackAndReplaced) {
    const test::TempFolder folder;
    const std::string record = Record(folder);
    EXPECT_EQ(ReadSkippedVersion(record), "");
    ASSERT_TRUE(WriteSkippedVersion(record, "1.2.4"));
    EXPECT_EQ(ReadText(record), "1.2.4\n");
    EXPECT_EQ(ReadSkippedVersion(record), "1.2.4");
    // Any version a version file can offer is recorded and read back, the longest included.
    const std::string longest(kMaxSkippedVersionBytes, '9');
    ASSERT_TRUE(WriteSkippedVersion(record, longest));
    EXPECT_EQ(ReadSkippedVersion(record), longest);
    EXPECT_FALSE(WriteSkippedVersion(record, longest + "9"));
    EXPECT_EQ(fs::status(record).permissions(), fs::perms(0644));
    const mode_t umask = ::umask(0077);
    ASSERT_TRUE(WriteSkippedVersion(record, "1.10"));
    ::umask(umask);
    EXPECT_EQ(fs::status(record).permissions(), fs::perms(0644));
    EXPECT_EQ(ReadSkippedVersion(record), "1.10");
    // Nothing but the record is left in its folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(record).parent_path()),
                            fs::directory_iterator()),
              1);
    EXPECT_FALSE(WriteSkippedVersion(record, "1.2.x"));
    EXPECT_EQ(ReadSkippedVersion(record), "1.10");
}

TEST(SkippedVersionTest, DamagedRecordsMeanNothingSkipped) {
    const test::TempFolder folder;
    const std::string record = Record(folder);
    fs::create_directories(fs::path(record).parent_path());
    for (const std::string& garbage :
         {std::string(), std::string("\n"), std::string("1.2.4\n\n"), std::string("1.2.4\r\n"),
          std::string("..."), std::string("1.2.4 "), std::string("v1.2.4"),
          std::string("1.2\0"
                      "4",
                      5),
          std::string(kMaxSkippedVersionBytes + 1, '1'), std::string(1 << 20, '1')}) {
        WriteText(record, garbage);
        EXPECT_EQ(ReadSkippedVersion(record), "") << garbage.substr(0, 20);
    }
    WriteText(record, std::string(65, '1'));
    EXPECT_EQ(ReadSkippedVersion(record), std::string(65, '1'));
}

TEST(SkippedVersionTest, OddFilesAreNotReadAndAreReplacedWhenWritten) {
    const test::TempFolder folder;
    const std::string record = Record(folder);
    fs::create_directories(fs::path(record).parent_path());
    const std::string target = (folder.Path() / "target.txt").string();
    WriteText(target, "1.2.4");

    fs::create_symlink(target, record);
    EXPECT_EQ(ReadSkippedVersion(record), "");
    ASSERT_TRUE(WriteSkippedVersion(record, "2.0"));
    EXPECT_EQ(ReadText(target), "1.2.4") << "written through the link";
    EXPECT_FALSE(fs::is_symlink(record));
    EXPECT_EQ(ReadSkippedVersion(record), "2.0");

    fs::remove(record);
    ASSERT_EQ(::mkfifo(record.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadSkippedVersion(record), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_TRUE(WriteSkippedVersion(record, "2.1"));
    EXPECT_EQ(ReadSkippedVersion(record), "2.1");

    fs::remove(record);
    fs::create_directory(record);
    EXPECT_EQ(ReadSkippedVersion(record), "");
    EXPECT_FALSE(WriteSkippedVersion(record, "2.2"));
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(record).parent_path()),
                            fs::directory_iterator()),
              1)
        << "a failed write leaves no temporary file";
}

TEST(SkippedVersionTest, UnwritableFolderIsAFailureNotAnError) {
    EXPECT_FALSE(WriteSkippedVersion("/proc/gapwell-none/skipversion.dat", "1.2.4"));
    EXPECT_FALSE(WriteSkippedVersion("/dev/null/skipversion.dat", "1.2.4"));
}

TEST(SkippedVersionTest, SameVersionIsCompared) {
    EXPECT_TRUE(IsSkippedVersion("1.2.4", "1.2.4"));
    EXPECT_TRUE(IsSkippedVersion("1.2.4", "1.2.4.0"));
    EXPECT_TRUE(IsSkippedVersion("01.2.4", "1.2.4"));
    EXPECT_FALSE(IsSkippedVersion("1.2.4", "1.2.5"));
    EXPECT_FALSE(IsSkippedVersion("1.2.4", "1.2.40"));
    EXPECT_FALSE(IsSkippedVersion("1.2.5", "1.2.4"));
    EXPECT_FALSE(IsSkippedVersion("", "1.2.4"));
}

}  // namespace
}  // namespace gapwell
