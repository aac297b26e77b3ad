// Retry after a write cut short makes the downloaded file anew.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "support/PlatformFixture.h"
#include "update/transfer/DownloadedFile.h"

namespace gapwell {
namespace {

// Task-dialog results of the error report: Retry, and Cancel for Ignore.
constexpr int kPressRetry = 4;
constexpr int kPressCancel = 2;

// Lifts the file size limit, then answers the report: Retry once, then Ignore.
class LiftingPlatform : public FakePlatform {
  public:
    int TaskDialog(const TaskDialogRequest& request) override {
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        return FakePlatform::TaskDialog(request);
    }
};

using DownloadedFileTest = test::PlatformFixture;

// The first write stops at the file size limit (in a child process); what stays after Retry is
// the bytes once, not the part written first and the whole after it.
TEST_F(DownloadedFileTest, RetryAfterACutWriteWritesTheFileAnew) {
    const std::string path = (folder.Path() / "GPW.zip").string();
    const std::string bytes = "more than four bytes";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        LiftingPlatform lifting;
        lifting.taskDialogAnswers = {kPressRetry};
        lifting.defaultTaskDialogAnswer = kPressCancel;
        lifting.programFolder = platform.programFolder;
        SetCurrentPlatform(&lifting);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const WriteOutcome outcome =
            WriteDownloadedFile(AT_FDCWD, path, bytes.data(), bytes.size());
        const bool once = outcome == WriteOutcome::Written && test::ReadText(path) == bytes;
        ::_exit(once && lifting.taskDialogs.size() == 1 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace gapwell
