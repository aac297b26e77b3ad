// Creating a new file whole: only under a free name, never through a link.

#include <fcntl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

namespace fs = std::filesystem;

// Only a new file, with the mode asked for, never through a link. (A failed write removes the
// file: tests/update/test_downloaded_file.cpp, where Retry needs the name free again.)
TEST(WriteNewFile, WritesOnlyANewFile) {
    const test::TempFolder folder;
    const std::string target = folder.Write("target", {'o', 'l', 'd'});
    const fs::path link = folder.Path() / "link";
    fs::create_symlink(target, link);
    const UniqueFd opened(::open(folder.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    WriteNewFile(opened.Get(), "new", "text", 0640);
    EXPECT_EQ(test::ReadText(folder.Path() / "new"), "text");
    EXPECT_EQ(fs::status(folder.Path() / "new").permissions(), fs::perms(0640));
    EXPECT_THROW(WriteNewFile(AT_FDCWD, link.string(), "new", 0600), RuntimeError);
    EXPECT_EQ(test::ReadText(target), "old");
}

}  // namespace
}  // namespace gapwell
