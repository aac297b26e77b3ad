#include "update/InterruptedUpdate.h"

#include <signal.h>

#include <cerrno>
#include <optional>

#include "base/RuntimeError.h"
#include "services/modErrorHandler.h"
#include "update/FolderMove.h"
#include "update/InstallJournal.h"
#include "update/NoFollow.h"

namespace gapwell {

namespace {

void Log(const std::string& description) {
    LogError("Main", EINTR, "modMain", description, kAnswerNone);
}

bool IsRunning(const JournalState& journal) {
    return journal.waitedProcess > 0 && journal.bootId == CurrentBootId() &&
           (::kill(journal.waitedProcess, 0) == 0 || errno == EPERM);
}

bool Holds(int folder, const std::string& name) {
    return EntryStatus(folder, name).has_value();
}

// Undoes one work folder's installation by its journal. Throws RuntimeError when something
// stays.
void Undo(int app, int work, const JournalState& journal) {
    const UniqueFd incoming = OpenSubfolder(work, kIncomingFolder, kIncomingFolder);
    const UniqueFd aside = OpenSubfolder(work, kAsideFolder, kAsideFolder);
    const MoveFolders folders{app, incoming.Get(), aside.Get()};
    if (journal.movedIn && !Holds(app, journal.travellingName) &&
        !Holds(incoming.Get(), journal.travellingName)) {
        return;  // the hand-over gave the new program its name: the update is complete
    }
    const std::string failure = UndoMoves(folders, journal.moves);
    if (!failure.empty()) {
        throw RuntimeError(EIO, failure);
    }
    if (!RemoveJournal(work)) {
        throw ErrnoError(errno, kJournalName);
    }
    if (!journal.moves.empty()) {
        Log("An interrupted update was undone: the program folder holds its files from before");
    }
}

void CompleteWorkFolder(int app, int updates, const std::string& updatesPath,
                        const std::string& name) {
    const std::string path = updatesPath + "/" + name;
    try {
        const UniqueFd work = OpenSubfolder(updates, name, path);
        const std::optional<JournalState> journal = ReadJournal(work.Get());
        if (journal && IsRunning(*journal)) {
            return;
        }
        if (journal) {
            Undo(app, work.Get(), *journal);
        }
    } catch (const RuntimeError& failure) {
        Log("An interrupted update could not be undone completely (" + std::string(failure.what()) +
            "); the files it replaced are kept in " + path);
        return;
    }
    RemoveWorkFolder(updates, name);
}

}  // namespace

void CompleteInterruptedUpdates(const std::string& programFolder,
                                const std::string& updatesFolderName) {
    try {
        const UniqueFd app = OpenFolder(programFolder);
        const std::string updatesPath = programFolder + "/" + updatesFolderName;
        const UniqueFd updates = OpenSubfolder(app.Get(), updatesFolderName, updatesPath);
        for (const std::string& name : FolderNames(updates.Get())) {
            if (name.starts_with(kWorkFolderPrefix) && IsFolderEntry(updates.Get(), name)) {
                CompleteWorkFolder(app.Get(), updates.Get(), updatesPath, name);
            }
        }
    } catch (const RuntimeError&) {
        // No updates folder (or none that is a real folder): no installation to complete.
    }
}

}  // namespace gapwell
