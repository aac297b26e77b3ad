// Creating a new file whole: only under a free name, never through a link, and nothing left of a
// file that could not be written whole.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

namespace fs = std::filesystem;

// Only a new file, never through a link; a write the system refuses halfway (the file size
// limit, in a child process) removes the file and says why.
TEST(WriteNewFile, WritesANewFileWholeOrLeavesNone) {
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

    const fs::path cut = folder.Path() / "cut";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{2, 2};
        std::signal(SIGXFSZ, SIG_IGN);
        int number = 0;
        try {
            ::setrlimit(RLIMIT_FSIZE, &limit);
            WriteNewFile(AT_FDCWD, cut.string(), "more than two bytes", 0600);
        } catch (const RuntimeError& error) {
            number = error.Number();
        }
        ::_exit(number == EFBIG && !fs::exists(cut) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace gapwell
