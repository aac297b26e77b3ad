#include "update/install/InterruptedUpdate.h"

#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "base/RuntimeError.h"
#include "services/modErrorHandler.h"
#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "services/modMsgBox.h"
#include "update/files/EntryHash.h"
#include "update/files/NoFollow.h"
#include "update/files/UpdatePaths.h"
#include "update/install/FolderMove.h"
#include "update/install/HandOverScript.h"
#include "update/install/InstallJournal.h"
#include "update/install/InstallLock.h"

namespace gapwell {

namespace {

constexpr int kOkExclamation = 48;

void Log(const std::string& description) {
    LogError("Main", EINTR, "modMain", description, kAnswerNone);
}

// A work folder left as it is: one record and one message, both naming it.
void ReportKept(const std::string& why, const std::string& path) {
    Log("An interrupted update was left as it is (" + why + "); its files are kept in " + path);
    ShowMessage(LoadString(kStrInterruptedUpdateKept) + "\r\n" + path, kOkExclamation);
}

// Whether the installation finished: every move made, and the program file in place is byte
// for byte the new one.
bool IsComplete(int app, const JournalState& journal) {
    return journal.movedIn && SHA256OfEntry(app, journal.programName) == journal.programHash;
}

// A complete installation: its hand-over script, should it be left in the program folder, and
// its work folder go.
void RemoveCompleted(int app, int updates, const std::string& name, const JournalState& journal) {
    for (const JournalMove& move : journal.moves) {
        if (move.kind == MoveKind::BringIn &&
            ::fnmatch(kHandOverScriptPattern, move.name.c_str(), 0) == 0 &&
            !IsFolderEntry(app, move.name)) {
            ::unlinkat(app, move.name.c_str(), 0);
        }
    }
    RemoveWorkFolder(updates, name);
}

// Whether the aside folder of `work` is missing or empty: no file set aside stays in it.
bool NothingAside(int work, const std::string& path) {
    return !IsFolderEntry(work, kAsideFolder) ||
           FolderNames(OpenSubfolder(work, kAsideFolder, path + "/" + kAsideFolder).Get()).empty();
}

// Undoes the installation of the work folder `work` by its journal, then removes the work folder.
// Throws RuntimeError, before any move, when the undo would not put back every file set aside,
// and when something stays.
void Undo(int app, int updates, int work, const std::string& name, const std::string& path,
          const JournalState& journal) {
    int moved = 0;
    if (!journal.moves.empty() || IsFolderEntry(work, kAsideFolder)) {
        const UniqueFd incoming =
            OpenSubfolder(work, kIncomingFolder, path + "/" + kIncomingFolder);
        const UniqueFd aside = OpenSubfolder(work, kAsideFolder, path + "/" + kAsideFolder);
        const MoveFolders folders{app, incoming.Get(), aside.Get()};
        if (const std::string obstacle = UndoObstacle(folders, journal.moves); !obstacle.empty()) {
            throw RuntimeError(EEXIST, "nothing was moved: " + obstacle);
        }
        const UndoneMoves undone = UndoMoves(folders, journal.moves);
        moved = undone.moved;
        if (!undone.failure.empty()) {
            throw RuntimeError(EIO, std::to_string(moved) +
                                        " files were moved back, but not all: " + undone.failure);
        }
    }
    if (!RemoveJournal(work)) {
        throw ErrnoError(errno, path + "/" + kJournalName);
    }
    RemoveWorkFolder(updates, name);
    if (moved > 0) {
        Log("An interrupted update was undone: " + std::to_string(moved) +
            " files were moved back, the program folder holds its files from before");
    }
}

void CompleteWorkFolder(int app, int updates, const std::string& path, const std::string& name) {
    try {
        const UniqueFd work = OpenSubfolder(updates, name, path);
        struct stat status {};
        if (::fstat(work.Get(), &status) != 0 || !IsOwnPrivateEntry(status, 0700)) {
            throw RuntimeError(EPERM,
                               "the work folder belongs to another user or others may "
                               "change it");
        }
        if (!EntryStatus(work.Get(), kInstallIdName) && !EntryStatus(work.Get(), kJournalName) &&
            NothingAside(work.Get(), path)) {
            // Its installer ended before it wrote anything: nothing was moved.
            RemoveWorkFolder(updates, name);
            return;
        }
        const std::optional<InstallLock> lock = InstallLock::TryTake(work.Get(), path);
        if (!lock) {
            Log("An update is being installed by another process; " + path + " is left alone");
            return;
        }
        const JournalState journal = ReadJournal(work.Get(), path, *lock).value_or(JournalState{});
        if (IsComplete(app, journal)) {
            RemoveCompleted(app, updates, name, journal);
        } else {
            Undo(app, updates, work.Get(), name, path, journal);
        }
    } catch (const RuntimeError& failure) {
        // A work folder its hand-over removed meanwhile is no longer there to be reported.
        if (EntryStatus(updates, name)) {
            ReportKept(failure.what(), path);
        }
    }
}

void CompleteUpdatesFolder(int app, const std::string& path, const std::string& name) {
    if (!EntryStatus(app, name)) {
        return;  // no updates folder: nothing to complete
    }
    UniqueFd updates;
    try {
        updates = OpenSubfolder(app, name, path);
    } catch (const RuntimeError& failure) {
        ReportKept(failure.what(), path);  // a link or a file in its place
        return;
    }
    std::vector<std::string> names;
    try {
        names = FolderNames(updates.Get());
    } catch (const RuntimeError& failure) {
        Log("The updates folder " + path + " cannot be read: " + failure.what());
    }
    for (const std::string& entry : names) {
        if (!IsFolderEntry(updates.Get(), entry)) {
            continue;
        }
        if (entry.starts_with(kWorkFolderPrefix)) {
            CompleteWorkFolder(app, updates.Get(), path + "/" + entry, entry);
        } else if (entry.starts_with(kRemovedFolderPrefix)) {
            RemoveWorkFolder(updates.Get(), entry);  // its removal was cut short
        }
    }
}

}  // namespace

void CompleteInterruptedUpdates(const std::string& programFolder,
                                const std::string& olderFolderName) {
    UniqueFd app;
    try {
        app = OpenFolder(programFolder);
    } catch (const RuntimeError&) {
        return;
    }
    CompleteUpdatesFolder(app.Get(), AddBackslash(programFolder) + kUpdatesFolderName,
                          kUpdatesFolderName);
    if (IsPlainName(olderFolderName) && olderFolderName != kUpdatesFolderName) {
        CompleteUpdatesFolder(app.Get(), AddBackslash(programFolder) + olderFolderName,
                              olderFolderName);
    }
}

}  // namespace gapwell
