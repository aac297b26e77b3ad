// An installation killed before each of its renames, as by a crash or a power cut: the next start
// of the copy puts the program folder back as it was, byte for byte, and says so in Bug.log. Not
// killed, the real hand-over installs the new release.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "services/modMsgBox.h"
#include "support/Polling.h"
#include "support/TestZip.h"
#include "update/DoUpdate.h"
#include "update/InstallFixture.h"
#include "update/InstallJournal.h"
#include "update/InterruptedUpdate.h"

namespace {

// Once armed in a child process, counts its renames and kills it before the one numbered so.
int killBeforeRename = 0;

}  // namespace

// Stands in for the C library's renameat in this test program, installer included.
extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    using Rename = int (*)(int, const char*, int, const char*);
    static const auto real = reinterpret_cast<Rename>(::dlsym(RTLD_NEXT, "renameat"));
    if (killBeforeRename > 0 && --killBeforeRename == 0) {
        ::raise(SIGKILL);
    }
    return real(fromFolder, from, toFolder, to);
}

namespace gapwell {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class InterruptedInstallTest : public test::InstallFixture {
  protected:
    // Runs the installation in a child process killed before its `kill`-th rename (0: never);
    // returns whether it was killed (false: it ran to its end and started the hand-over).
    bool InstallKilledBefore(int kill) {
        const int status = InstallInAChild([&] { killBeforeRename = kill; });
        EXPECT_TRUE(WIFSIGNALED(status) || WEXITSTATUS(status) == 0) << kill;
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

    // Installs GPW.zip in a child process prepared by `prepare`; returns its wait status (exit
    // status 0: installed, 2: not installed).
    int InstallInAChild(const std::function<void()>& prepare) {
        const pid_t child = ::fork();
        if (child == 0) {
            prepare();
            ::_exit(DoUpdate(UpdatesFolder() + "GPW.zip", UpdatesFolder()) ? 0 : 2);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return status;
    }

    std::size_t UndoneRecords() const {
        std::size_t count = 0;
        const std::string log = BugLog();
        for (std::size_t at = log.find("An interrupted update was undone"); at != std::string::npos;
             at = log.find("An interrupted update was undone", at + 1)) {
            ++count;
        }
        return count;
    }
};

TEST_F(InterruptedInstallTest, KilledBeforeAnyRenameTheNextStartPutsTheOldFolderBack) {
    test::WriteFile(AppFile("DeleteOld_1b.sh"), "left over");
    test::WriteZip(UpdatesFolder() + "GPW.zip",
                   {{"GPW", kNewProgram}, {"readme.txt", "new read-me"}, {"LICENSE", "license"}});
    const Snapshots before = TakeSnapshots();

    // The last trial is not killed, but its hand-over never runs: the end comes before the
    // hand-over's own rename.
    int trials = 0;
    for (bool killed = true; killed; ++trials) {
        const std::size_t records = UndoneRecords();
        killed = InstallKilledBefore(trials + 1);
        CompleteInterruptedUpdates(folder.Path().string(), "Updates");
        ExpectUnchanged(before);
        // The first rename stages the new program, before the journal begins: nothing to undo.
        EXPECT_EQ(UndoneRecords(), records + (trials == 0 ? 0 : 1)) << trials;
    }
    std::printf("kill trials: %d, each followed by a start\n", trials);
    // Staging; a leftover script and the read-me set aside; four files in; the hand-over.
    EXPECT_EQ(trials, 8);

    // Not killed: the hand-over swaps the programs once the installer has ended, and the next
    // start finds nothing to undo.
    platform.startHiddenProcesses = true;
    EXPECT_FALSE(InstallKilledBefore(0));
    ASSERT_TRUE(
        test::WaitUntil([&] { return test::ReadText(AppFile("started.marker")) == "new\n"; }, 10s));
    CompleteInterruptedUpdates(folder.Path().string(), "Updates");
    EXPECT_EQ(test::ReadText(AppFile("GPW")), kNewProgram);
    EXPECT_EQ(test::ReadText(AppFile("readme.txt")), "new read-me");
    EXPECT_EQ(test::ReadText(AppFile("LICENSE")), "license");
    EXPECT_FALSE(fs::exists(AppFile("DeleteOld_1b.sh")));
    EXPECT_EQ(test::SnapshotFolder(UpdatesFolder()).size(), 1U) << "the archive alone";
}

// Work folders an installation did not leave, or left while it still runs: the next start moves
// nothing in the program folder or outside it, whatever the journal says.
TEST_F(InterruptedInstallTest, OddWorkFoldersMoveNothing) {
    const Snapshots before = TakeSnapshots();
    const std::string outsideName = outside.Path().filename().string();
    const fs::path work = fs::path(UpdatesFolder()) / ".install-1";
    const struct {
        const char* label;
        std::string journal;  // "@FIFO" and "@LINK" plant a FIFO or a link to a file outside
    } cases[] = {
        {"journal is a FIFO", "@FIFO"},
        {"journal is a link", "@LINK"},
        {"journal is garbage", "begin|%zz\n\x01\xFF"},
        {"names leave the folders", "begin|1|GPW.new|\nin|../" + outsideName + "/keep.txt\n"},
        {"its process still runs", "begin|" + std::to_string(::getpid()) + "|GPW.new|" +
                                       CurrentBootId() + "\nin|readme.txt\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        fs::create_directories(work / "incoming");
        fs::create_directories(work / outsideName);
        fs::create_directories(work / "aside");
        const fs::path journal = work / "journal";
        if (c.journal == "@FIFO") {
            ASSERT_EQ(::mkfifo(journal.c_str(), 0600), 0);
        } else if (c.journal == "@LINK") {
            fs::create_symlink(outside.Path() / "keep.txt", journal);
        } else {
            test::WriteFile(journal, c.journal);
        }
        CompleteInterruptedUpdates(folder.Path().string(), "Updates");
        fs::remove_all(work);
        ExpectUnchanged(before);
    }
}

// The platform double, except that Abort ends the process at once, as the program does.
class EndingPlatform : public FakePlatform {
  public:
    explicit EndingPlatform(const FakePlatform& platform) : FakePlatform(platform) {}
    void EndProgram(int exitStatus) override { ::_exit(exitStatus); }
};

// A move that fails part-way is undone and answered with Abort: the program ends before it could
// remove the staged release; the next start does.
TEST_F(InterruptedInstallTest, AbortAfterAFailedMoveLeavesNoStagedReleaseForGood) {
    test::WriteZip(UpdatesFolder() + "GPW.zip", {{"GPW", kNewProgram}, {"readme.txt", "new"}});
    for (char letter = 'b'; letter <= 'z'; ++letter) {
        fs::create_directory(AppFile(std::string("DeleteOld_952") + letter + ".sh"));
    }
    const Snapshots before = TakeSnapshots();
    platform.defaultTaskDialogAnswer = kIdClose;  // Abort

    EndingPlatform ending(platform);
    EXPECT_EQ(WEXITSTATUS(InstallInAChild([&] { SetCurrentPlatform(&ending); })), EXIT_FAILURE);
    EXPECT_NE(WorkFolderName(), "");

    CompleteInterruptedUpdates(folder.Path().string(), "Updates");
    ExpectUnchanged(before);
    EXPECT_EQ(UndoneRecords(), 0U) << "the move was undone before the report";
}

}  // namespace
}  // namespace gapwell
