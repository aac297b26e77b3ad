#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/FolderSnapshot.h"
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
        Prepare(executable, waitSeconds);
        return RunScript(pid);
    }

    // Writes the script, the work folder and the old and new programs.
    void Prepare(const std::string& executable, int waitSeconds) {
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
    }

    int RunScript(const std::string& pid) {
        const std::string command =
            "cd " + ShellQuote(folder.Path().string()) + " && /bin/sh DeleteOld_957k.sh " + pid;
        return std::system(command.c_str());
    }

    // A process that has ended.
    static pid_t EndedProcess() {
        const pid_t ended = ::fork();
        if (ended == 0) {
            ::_exit(0);
        }
        ::waitpid(ended, nullptr, 0);
        return ended;
    }

    test::TempFolder folder;
    test::TempFolder outside;
    fs::path script = folder.Path() / "DeleteOld_957k.sh";
    fs::path work = folder.Path() / "Updates" / ".install-1";
};

TEST_F(HandOverScriptTest, NamesWithBlanksAndQuotesAreSwappedAndStarted) {
    const std::string name = "G P'W;$(touch x)";
    test::WriteFile(folder.Path() / "DeleteOld_1b.sh", "older");
    const pid_t ended = EndedProcess();

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

// The work folder or a folder around it swapped for a link, or another user's: the script moves
// nothing, writes one record and removes itself.
TEST_F(HandOverScriptTest, StopsWhenItsFoldersAreNotItsOwn) {
    const pid_t ended = EndedProcess();
    const fs::path updates = folder.Path() / "Updates";
    const struct {
        const char* label;
        fs::path swapped;  // made a link to a copy outside, or given to another user
        bool link;
    } cases[] = {
        {"Updates a link", updates, true},
        {"the work folder a link", work, true},
        {"incoming a link", work / "incoming", true},
        {"the work folder another user's", work, false},
        {"Updates another user's", updates, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (!c.link && ::geteuid() != 0) {
            continue;  // only root can give a folder to another user
        }
        fs::remove_all(folder.Path());
        fs::remove_all(outside.Path());
        fs::create_directories(folder.Path());
        fs::create_directories(outside.Path());
        Prepare("GPW", 60);
        if (c.link) {
            fs::rename(c.swapped, outside.Path() / "copy");
            fs::create_directory_symlink(outside.Path() / "copy", c.swapped);
        } else {
            ASSERT_EQ(::chown(c.swapped.c_str(), 65534, 65534), 0);
        }
        const test::FolderSnapshot program = test::SnapshotFolder(folder.Path());
        const test::FolderSnapshot elsewhere = test::SnapshotFolder(outside.Path());

        EXPECT_NE(RunScript(std::to_string(ended)), 0);

        test::FolderSnapshot after = test::SnapshotFolder(folder.Path());
        EXPECT_EQ(after.erase("Bug.log"), 1U);
        test::FolderSnapshot before = program;
        EXPECT_EQ(before.erase(script.filename()), 1U);
        EXPECT_EQ(test::SnapshotDifference(before, after), "") << "the script alone is gone";
        EXPECT_EQ(test::SnapshotDifference(elsewhere, test::SnapshotFolder(outside.Path())), "");
        const std::string log = ReadText(folder.Path() / "Bug.log");
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
        EXPECT_NE(log.find("stopped before a move"), std::string::npos);
    }
}

}  // namespace
}  // namespace gapwell
