// An installation killed before each of its renames, as by a crash or a power cut: the next start
// of the copy puts the program folder back as it was, byte for byte, and says so in Bug.log. Not
// killed, the real hand-over installs the new release.
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
#include <map>
#include <string>
#include <thread>

#include "base/PosixFile.h"
#include "services/modMsgBox.h"
#include "support/Polling.h"
#include "support/RenameKiller.h"
#include "support/TestZip.h"
#include "update/InstallFixture.h"
#include "update/files/EntryHash.h"
#include "update/files/NoFollow.h"
#include "update/install/DoUpdate.h"
#include "update/install/InstallJournal.h"
#include "update/install/InstallLock.h"
#include "update/install/InterruptedUpdate.h"

namespace gapwell {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class InterruptedInstallTest : public test::InstallFixture {
  protected:
    // Runs the installation in a child process killed before its `kill`-th rename (0: never);
    // returns whether it was killed (false: it ran to its end and started the hand-over).
    bool InstallKilledBefore(int kill) {
        const int status = InstallInAChild([&] { test::KillBeforeRename(kill); });
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
        // Killed before its first move, it has nothing to undo, and says nothing.
        EXPECT_EQ(UndoneRecords(), records + (trials <= 1 ? 0 : 1)) << trials;
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

// What a start makes of what an interrupted installation left, as it was left or tampered with.
enum class Outcome {
    kOld,         // the old release, the work folder gone
    kNew,         // the new release, the work folder gone
    kKept,        // nothing moved, the work folder stays; one record and one message name it
    kStoodAside,  // nothing moved: another process holds the installation's lock; one record
    kUntouched,   // nothing moved, nothing said
};

struct StartCase {
    const char* label;
    int kill;  // the installer is killed before this rename; 0: it ends, its hand-over never runs
    std::string tamper;  // what happens to the folders then (Tamper)
    // When not empty, the journal's lines instead, sealed for the installation ("@ID@" and
    // "@HASH@" stand for its id and the new program's hash).
    std::vector<std::string> journal;
    Outcome outcome;
    int undoneRecords;
    std::string logged = "";  // what Bug.log must say
};

class StartAfterInstallTest : public InterruptedInstallTest {
  protected:
    // The program folder of SetUp again, with GPW.zip in its updates folder, Bug.log gone.
    void FreshFolders() {
        for (const fs::directory_entry& entry : fs::directory_iterator(folder.Path())) {
            fs::remove_all(entry.path());
        }
        platform.taskDialogs.clear();
        InstallFixture::SetUp();
        test::WriteZip(UpdatesFolder() + "GPW.zip",
                       {{"GPW", kNewProgram}, {"readme.txt", "new read-me"}, {"LICENSE", "l"}});
    }

    // The program folder without Bug.log and the updates folder.
    test::FolderSnapshot ProgramFiles() const {
        test::FolderSnapshot files = TakeSnapshots().program;
        std::erase_if(files, [](const auto& entry) {
            return entry.first.starts_with("Updates") || entry.first.starts_with("Aggiornamenti");
        });
        return files;
    }

    // Whether a folder is left in an updates folder.
    bool FolderLeft() const {
        for (const char* updates : {"Updates", "Aggiornamenti"}) {
            if (!fs::exists(AppFile(updates))) {
                continue;
            }
            for (const fs::directory_entry& entry : fs::directory_iterator(AppFile(updates))) {
                if (entry.is_directory()) {
                    return true;
                }
            }
        }
        return false;
    }

    void Tamper(const StartCase& c, const fs::path& work) {
        const fs::path journal = work / "journal";
        if (!c.journal.empty()) {
            const std::string id = test::ReadText(work / "install-id").substr(0, 32);
            std::string text;
            for (std::string line : c.journal) {
                Substitute(line, "@ID@", id);
                Substitute(line, "@HASH@", *SHA256OfEntry(AppFolder().Get(), "GPW.new"));
                text += SealedLine(line, id);
            }
            test::WriteFile(journal, text, fs::perms(0600));
        }
        const std::string journalText = test::ReadText(journal);
        if (c.tamper == "remove GPW.new") {
            fs::remove(AppFile("GPW.new"));
        } else if (c.tamper == "hand over") {  // killed after its rename
            fs::rename(AppFile("GPW.new"), AppFile("GPW"));
        } else if (c.tamper == "undo but readme.txt") {  // cut short after readme.txt's undo
            fs::rename(AppFile("readme.txt"), work / "incoming" / "readme.txt");
            fs::rename(work / "aside" / "readme.txt", AppFile("readme.txt"));
        } else if (c.tamper == "journal FIFO" || c.tamper == "journal link" ||
                   c.tamper == "journal folder") {
            fs::remove(journal);
            if (c.tamper == "journal FIFO") {
                ::mkfifo(journal.c_str(), 0600);
            } else if (c.tamper == "journal link") {
                test::WriteFile(outside.Path() / "journal", journalText, fs::perms(0600));
                fs::create_symlink(outside.Path() / "journal", journal);
            } else {
                fs::create_directory(journal);
            }
        } else if (c.tamper == "CRLF") {
            std::string crlf;
            for (const char ch : journalText) {
                crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
            }
            test::WriteFile(journal, crlf, fs::perms(0600));
        } else if (c.tamper.starts_with("cut after ")) {
            std::size_t end = 0;
            for (int lines = std::stoi(c.tamper.substr(10)); lines > 0; --lines) {
                end = journalText.find('\n', end) + 1;
            }
            test::WriteFile(journal, journalText.substr(0, end), fs::perms(0600));
        } else if (c.tamper.starts_with("owner ")) {  // planted by another user
            ASSERT_EQ(::lchown((work / c.tamper.substr(6)).c_str(), 65534, 65534), 0);
        } else if (c.tamper.starts_with("mode 0777 ")) {
            fs::permissions(work / c.tamper.substr(10), fs::perms(0777));
        } else if (c.tamper == "other folder") {
            fs::rename(work, work.parent_path() / "other");
        } else if (c.tamper == "Updates link") {
            fs::rename(UpdatesFolder(), outside.Path() / "Updates");
            fs::create_directory_symlink(outside.Path() / "Updates", AppFile("Updates"));
        } else if (c.tamper == "older name") {
            fs::rename(UpdatesFolder(), AppFile("Aggiornamenti"));
        } else if (c.tamper == "planted") {  // written by hand, unsealed
            test::WriteFile(work / "aside" / "qt.conf", "[Paths]\nPlugins=/tmp/evil\n");
            test::WriteFile(journal, "begin|999999|GPW.new|boot\nin|LICENSE\naside|qt.conf\n",
                            fs::perms(0600));
        }
    }

    UniqueFd AppFolder() const { return OpenFolder(folder.Path().string()); }

    static void Substitute(std::string& text, const std::string& from, const std::string& to) {
        if (const std::size_t at = text.find(from); at != std::string::npos) {
            text.replace(at, from.size(), to);
        }
    }

    std::size_t Count(const std::string& text) const {
        std::size_t count = 0;
        const std::string log = BugLog();
        for (std::size_t at = log.find(text); at != std::string::npos;
             at = log.find(text, at + 1)) {
            ++count;
        }
        return count;
    }
};

TEST_F(StartAfterInstallTest, TheStartActsOnlyOnWhatItsOwnInstallerSealed) {
    const std::string begin = "begin|@ID@|GPW|@HASH@";
    const std::string nul("in|GPW\0x", 8);
    const StartCase cases[] = {
        {"killed before a move was made", 2, "", {}, Outcome::kOld, 0},
        {"killed after moves", 4, "", {}, Outcome::kOld, 1},
        {"installed, GPW.new deleted by hand", 0, "remove GPW.new", {}, Outcome::kOld, 1},
        {"the hand-over killed after its rename", 0, "hand over", {}, Outcome::kNew, 0},
        {"undo repeated after a partial one", 0, "undo but readme.txt", {}, Outcome::kOld, 1},
        {"a work folder under the older name", 4, "older name", {}, Outcome::kOld, 1},
        {"the installation's lock held", 4, "lock", {}, Outcome::kStoodAside, 0},
        {"not a work folder of Updates", 4, "other folder", {}, Outcome::kUntouched, 0},
        {"Updates a link", 4, "Updates link", {}, Outcome::kKept, 0, "Not a real folder"},
        {"journal a FIFO", 0, "journal FIFO", {}, Outcome::kKept, 0, "no regular file"},
        {"journal a link", 0, "journal link", {}, Outcome::kKept, 0, "is a link"},
        {"journal a folder", 0, "journal folder", {}, Outcome::kKept, 0, "no regular file"},
        {"journal with CRLF", 0, "CRLF", {}, Outcome::kKept, 0, "not sealed: line 1"},
        {"cut after 1 line", 0, "cut after 1", {}, Outcome::kKept, 0, "not in the journal"},
        {"cut after 2 lines", 0, "cut after 2", {}, Outcome::kKept, 0, "not in the journal"},
        {"cut after 3 lines", 0, "cut after 3", {}, Outcome::kKept, 0, "in its place"},
        {"journal of another user", 0, "owner journal", {}, Outcome::kKept, 0, "another user"},
        {"id file of another user", 0, "owner install-id", {}, Outcome::kKept, 0, "another user"},
        {"work folder of another user", 0, "owner .", {}, Outcome::kKept, 0, "another user"},
        {"work folder open to all", 0, "mode 0777 .", {}, Outcome::kKept, 0, "another user"},
        {"journal planted by hand", 1, "planted", {}, Outcome::kKept, 0, "not sealed: line 1"},
        {"a NUL in a name", 0, "", {begin, nul}, Outcome::kKept, 0, "out of place: line 2"},
        {"a CR in a name", 0, "", {begin, "in|GPW%0D"}, Outcome::kKept, 0, "out of place: line 2"},
        {"a second begin line",
         0,
         "",
         {begin, "in|LICENSE", begin},
         Outcome::kKept,
         0,
         "out of place: line 3"},
        {"a move after moved",
         0,
         "",
         {begin, "moved", "in|LICENSE"},
         Outcome::kKept,
         0,
         "out of place: line 3"},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.tamper.starts_with("owner ") && ::geteuid() != 0) {
            continue;  // only root can give a file to another user
        }
        FreshFolders();
        const test::FolderSnapshot old = ProgramFiles();
        const int status = InstallInAChild([&] { test::KillBeforeRename(c.kill); });
        ASSERT_EQ(WIFSIGNALED(status), c.kill != 0);
        const fs::path work = fs::path(UpdatesFolder()) / WorkFolderName();
        Tamper(c, work);
        const test::FolderSnapshot tampered = ProgramFiles();
        std::optional<InstallLock> held;  // as by an installer or a hand-over still running
        if (c.tamper == "lock") {
            held = InstallLock::TryTake(OpenFolder(work.string()).Get(), work.string());
        }

        CompleteInterruptedUpdates(folder.Path().string(), "Aggiornamenti");

        const test::FolderSnapshot after = ProgramFiles();
        const bool removed = !FolderLeft();
        switch (c.outcome) {
            case Outcome::kOld:
                EXPECT_EQ(test::SnapshotDifference(old, after), "");
                EXPECT_TRUE(removed);
                break;
            case Outcome::kNew:
                EXPECT_EQ(test::ReadText(AppFile("GPW")), kNewProgram);
                EXPECT_EQ(test::ReadText(AppFile("readme.txt")), "new read-me");
                EXPECT_EQ(after.size(), 3U) << "GPW, readme.txt and LICENSE alone";
                EXPECT_TRUE(removed);
                break;
            default:
                EXPECT_EQ(test::SnapshotDifference(tampered, after), "");
                EXPECT_FALSE(removed);
        }
        EXPECT_EQ(platform.taskDialogs.size(), c.outcome == Outcome::kKept ? 1U : 0U);
        EXPECT_EQ(Count("left as it is"), c.outcome == Outcome::kKept ? 1U : 0U);
        EXPECT_EQ(Count("being installed"), c.outcome == Outcome::kStoodAside ? 1U : 0U);
        EXPECT_EQ(Count("was undone"), std::size_t(c.undoneRecords));
        if (!c.logged.empty()) {
            EXPECT_EQ(Count(c.logged), 1U) << BugLog();
        }
    }
}

// The commands the hand-over runs to change the folder (mv and rm), counted; before the one
// numbered $KILL_AT the script is killed, and with $SLOW each waits 20 ms first, as on a slow
// stick. The script's own folder comes first in PATH.
constexpr const char* kCommandStandIn = R"(#!/bin/sh
n=$(($(cat "$COUNTER") + 1))
echo "$n" >"$COUNTER"
if [ "$n" = "$KILL_AT" ]; then
    : >"$KILLED"
    kill -9 "$PPID"
    exit 1
fi
[ -z "$SLOW" ] || sleep 0.02
exec "/bin/${0##*/}" "$@"
)";

// What the program folder holds after a start: "old", "new" or "mixed".
std::string Release(const test::FolderSnapshot& files, const test::FolderSnapshot& old,
                    const test::FolderSnapshot& released) {
    return files == old ? "old" : files == released ? "new" : "mixed";
}

// The real hand-over killed before each of its commands, with renames slowed and not, and starts
// racing it: every start after it finds the old release or the new one, never a mix.
TEST_F(StartAfterInstallTest, HandOverKilledOrRacedEndsOldOrNew) {
    test::TempFolder commands;
    for (const char* name : {"mv", "rm"}) {
        test::WriteFile(commands.Path() / name, kCommandStandIn, fs::perms(0755));
    }
    const std::string path = EnvironmentValue("PATH");
    ::setenv("PATH", (commands.Path().string() + ":" + path).c_str(), 1);
    ::setenv("COUNTER", (commands.Path() / "count").c_str(), 1);
    ::setenv("KILLED", (commands.Path() / "killed").c_str(), 1);
    platform.startHiddenProcesses = true;
    // Runs the installation and its hand-over, killed before command `kill` (0: never), while
    // `racing` starts run; returns what the next start finds.
    test::FolderSnapshot old;
    test::FolderSnapshot released;
    const auto trial = [&](int kill, bool slow, int racing) {
        FreshFolders();
        old = ProgramFiles();
        test::WriteFile(commands.Path() / "count", "0");
        fs::remove(commands.Path() / "killed");
        ::setenv("KILL_AT", std::to_string(kill).c_str(), 1);
        ::setenv("SLOW", slow ? "1" : "", 1);
        EXPECT_EQ(InstallInAChild([] {}), 0);
        for (int start = 0; start < racing; ++start) {
            CompleteInterruptedUpdates(folder.Path().string(), "Updates");
        }
        const bool ended = test::WaitUntil(
            [&] {
                return fs::exists(commands.Path() / "killed") ||
                       test::ReadText(AppFile("started.marker")) == "new\n" || !FolderLeft();
            },
            10s);
        EXPECT_TRUE(ended);
        std::this_thread::sleep_for(50ms);  // the killed script is gone, the new program done
        CompleteInterruptedUpdates(folder.Path().string(), "Updates");
        fs::remove(AppFile("started.marker"));
        EXPECT_FALSE(FolderLeft());
        return ProgramFiles();
    };
    released = trial(0, false, 0);
    ASSERT_NE(released, old);
    std::map<std::string, int> counts;
    for (const bool slow : {false, true}) {
        for (int kill = 1; kill <= 4; ++kill) {
            const std::string release = Release(trial(kill, slow, 0), old, released);
            EXPECT_NE(release, "mixed") << kill << (slow ? " slowed" : "");
            ++counts[release];
        }
    }
    for (int race = 0; race < 3; ++race) {
        ++counts[Release(trial(0, true, 200), old, released)];
    }
    ::setenv("PATH", path.c_str(), 1);
    std::printf("hand-over trials: old %d, new %d, mixed %d\n", counts["old"], counts["new"],
                counts["mixed"]);
    EXPECT_EQ(counts["mixed"], 0);
    EXPECT_GT(counts["new"], 0);
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
