#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "services/modErrorHandler.h"
#include "support/LoopbackServer.h"
#include "support/PlatformFixture.h"
#include "support/TempFiles.h"
#include "update/DownloadEvents.h"
#include "update/clsDownload.h"

namespace gapwell {
namespace {

using test::ReadText;
namespace fs = std::filesystem;

// Task-dialog results of the error report: Cancel answers Ignore, Close answers Abort.
constexpr int kPressCancel = 2;
constexpr int kPressClose = 8;

class DestinationTest : public test::PlatformFixture {
  protected:
    void SetUp() override {
        PlatformFixture::SetUp();
        events.Attach(download);
        server.Serve("/GPW.zip", "new");
    }

    void FetchInto(const fs::path& destination) {
        download.DownloadFile(server.Url("/GPW.zip"), destination.string());
    }

    test::LoopbackServer server;
    clsDownload download;
    test::DownloadEvents events;
};

TEST_F(DestinationTest, LongerOldFileEndsUpWithExactlyTheNewData) {
    const fs::path destination = folder.Path() / "GPW.zip";
    std::ofstream(destination, std::ios::binary) << "a much longer old content";
    FetchInto(destination);
    EXPECT_EQ(ReadText(destination), "new");
    EXPECT_EQ(events.completions, std::vector<std::int32_t>{3});
}

TEST_F(DestinationTest, ExistingLinkIsReplacedNeverFollowed) {
    const fs::path target = folder.Path() / "elsewhere.txt";
    std::ofstream(target, std::ios::binary) << "keep me";
    const fs::path destination = folder.Path() / "GPW.zip";
    fs::create_symlink(target, destination);

    FetchInto(destination);

    EXPECT_EQ(ReadText(target), "keep me");
    EXPECT_FALSE(fs::is_symlink(destination));
    EXPECT_EQ(ReadText(destination), "new");
}

// A write that failed is never a download, whatever the answer to its report.
TEST_F(DestinationTest, UnwritableDestinationIsReportedAndIgnoreFailsTheDownload) {
    platform.taskDialogAnswers = {kPressCancel};
    const fs::path destination = folder.Path() / "missing" / "GPW.zip";

    FetchInto(destination);

    ASSERT_EQ(platform.taskDialogs.size(), 1u);
    EXPECT_EQ(platform.taskDialogs[0].content, "DownloadFile@clsDownload");
    EXPECT_NE(ReadText(folder.Path() / "Bug.log").find("|DownloadFile|2|clsDownload|"),
              std::string::npos);
    EXPECT_EQ(events.completions, std::vector<std::int32_t>{0});
    EXPECT_EQ(platform.endProgramCalls, 0);
}

TEST_F(DestinationTest, AbortEndsTheProgramWithoutACompletion) {
    platform.taskDialogAnswers = {kPressClose};
    FetchInto(folder.Path() / "missing" / "GPW.zip");
    EXPECT_EQ(platform.endProgramCalls, 1);
    EXPECT_TRUE(events.completions.empty());
}

}  // namespace
}  // namespace gapwell
