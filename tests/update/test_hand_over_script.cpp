#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/TempFiles.h"
#include "update/InstallFixture.h"
#include "update/files/NoFollow.h"
#include "update/install/HandOverScript.h"

namespace gapwell {
namespace {

namespace fs = std::filesystem;
using test::ReadText;

constexpr const char* kNewProgram = "#!/bin/sh\necho new > started.marker\n";

class HandOverScriptTest : public ::testing::Test {
  protected:
    // Writes the script for `executable` and the old and new programs, then runs the script in
    // the folder, waiting for process `pid`; returns the shell's exit status.
    int Run(const std::string& executable, const std::string& pid, int waitSeconds) {
        test::WriteFile(folder.Path() / executable, "old", fs::perms(0755));
        test::WriteFile(folder.Path() / (executable + ".new"), kNewProgram, fs::perms(0755));
        for (const char* inner : {"incoming", "aside"}) {
            fs::create_directories(work / inner);
        }
        test::WriteFile(work / "hand-over", "", fs::perms(0600));
        test::WriteFile(work / "journal", "begin", fs::perms(0600));
        const UniqueFd scriptFolder = OpenFolder(folder.Path().string());
        WriteHandOverScript(scriptFolder.Get(), script.filename().string(),
                            HandOverScript({executable,
                                            waitSeconds,
                                            "Updates/.install-1",
                                            {executable + ".new"},
                                            script.filename().string(),
                                            (folder.Path() / "Bug.log").string(),
                                            "6.1.0"}));
        const std::string command =
            "cd " + ShellQuote(folder.Path().string()) + " && /bin/sh DeleteOld_957k.sh " + pid;
        return std::system(command.c_str());
    }

    test::TempFolder folder;
    fs::path script = folder.Path() / "DeleteOld_957k.sh";
    fs::path work = folder.Path() / "Updates" / ".install-1";
};

TEST_F(HandOverScriptTest, NamesWithBlanksAndQuotesAreSwappedAndStarted) {
    const std::string name = "G P'W;$(touch x)";
    test::WriteFile(folder.Path() / "DeleteOld_1b.sh", "older");
    const pid_t ended = ::fork();
    if (ended == 0) {
        ::_exit(0);
    }
    ::waitpid(ended, nullptr, 0);

    EXPECT_EQ(Run(name, std::to_string(ended), 60), 0);

    EXPECT_EQ(ReadText(folder.Path() / name), kNewProgram);
    EXPECT_FALSE(fs::exists(folder.Path() / (name + ".new")));
    EXPECT_EQ(ReadText(folder.Path() / "started.marker"), "new\n");
    EXPECT_FALSE(fs::exists(script));
    EXPECT_FALSE(fs::exists(folder.Path() / "DeleteOld_1b.sh"));
    EXPECT_FALSE(fs::exists(folder.Path() / "x"));
}

TEST_F(HandOverScriptTest, GivesUpAfterItsBoundWhileTheProgramRuns) {
    const auto start = std::chrono::steady_clock::now();

    EXPECT_NE(Run("GPW", std::to_string(::getpid()), 1), 0);

    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::seconds(1));
    EXPECT_LT(waited, std::chrono::seconds(10));
    EXPECT_EQ(ReadText(folder.Path() / "GPW"), "old");
    EXPECT_FALSE(fs::exists(folder.Path() / "GPW.new")) << "back in the work folder, gone with it";
    EXPECT_FALSE(fs::exists(work));
    EXPECT_FALSE(fs::exists(folder.Path() / "started.marker"));
    EXPECT_FALSE(fs::exists(script));
    EXPECT_NE(ReadText(folder.Path() / "Bug.log").find("old release is back in place"),
              std::string::npos);
}

}  // namespace
}  // namespace gapwell
