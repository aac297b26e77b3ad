#include "update/install/FolderMove.h"

#include <fcntl.h>
#include <stdio.h>
#include <string.h>

#include <cerrno>
#include <set>

#include "base/RuntimeError.h"
#include "update/files/NoFollow.h"

namespace gapwell {

namespace {

bool Holds(int folder, const std::string& name) {
    return EntryStatus(folder, name).has_value();
}

// Moves `name` back from `from` to `to`, never over anything `to` holds (a file system that
// cannot promise that is checked just before); "" or why it failed.
std::string MoveBack(int from, int to, const std::string& name) {
    int moved = ::renameat2(from, name.c_str(), to, name.c_str(), RENAME_NOREPLACE);
    if (moved != 0 && errno == EINVAL && !Holds(to, name)) {
        moved = ::renameat(from, name.c_str(), to, name.c_str());
    }
    if (moved == 0) {
        return {};
    }
    return name + ": " + ::strerror(errno);
}

}  // namespace

void FolderMove::MoveEntry(int from, int to, const JournalMove& move) {
    if (IsFolderEntry(from, move.name) || IsFolderEntry(to, move.name)) {
        throw RuntimeError(EISDIR, "A folder is in the way: " + move.name);
    }
    journal_.Record(move);
    if (::renameat(from, move.name.c_str(), to, move.name.c_str()) != 0) {
        throw ErrnoError(errno, move.name);
    }
}

void FolderMove::SetAside(const std::string& name) {
    MoveEntry(folders_.target, folders_.aside, {MoveKind::Aside, name});
}

void FolderMove::BringIn(const std::string& name) {
    if (Holds(folders_.target, name)) {
        SetAside(name);
    }
    MoveEntry(folders_.incoming, folders_.target, {MoveKind::BringIn, name});
}

std::string UndoObstacle(const MoveFolders& folders, const std::vector<JournalMove>& moves) {
    std::set<std::string> leaving;  // what the undo moves out of the target before it gets there
    std::set<std::string> asideNames;
    for (auto move = moves.rbegin(); move != moves.rend(); ++move) {
        const std::string& name = move->name;
        if (move->kind == MoveKind::BringIn) {
            if (Holds(folders.target, name) && !Holds(folders.incoming, name)) {
                leaving.insert(name);
            }
        } else {
            asideNames.insert(name);
            if (Holds(folders.aside, name) && Holds(folders.target, name) &&
                !leaving.contains(name)) {
                return name + ": something is in its place";
            }
        }
    }
    for (const std::string& name : FolderNames(folders.aside)) {
        if (!asideNames.contains(name)) {
            return name + ": set aside, but not in the journal";
        }
    }
    return {};
}

bool FolderMove::PutBack() {
    return UndoMoves(folders_, journal_.Moves()).failure.empty();
}

UndoneMoves UndoMoves(const MoveFolders& folders, const std::vector<JournalMove>& moves) {
    UndoneMoves result;
    for (auto move = moves.rbegin(); move != moves.rend(); ++move) {
        const std::string& name = move->name;
        std::string undone;
        if (move->kind == MoveKind::BringIn) {
            if (Holds(folders.target, name) && !Holds(folders.incoming, name)) {
                undone = MoveBack(folders.target, folders.incoming, name);
                result.moved += undone.empty() ? 1 : 0;
            }
        } else if (Holds(folders.aside, name)) {
            undone = Holds(folders.target, name) ? name + ": something is in its place"
                                                 : MoveBack(folders.aside, folders.target, name);
            result.moved += undone.empty() ? 1 : 0;
        }
        if (result.failure.empty()) {
            result.failure = undone;
        }
    }
    return result;
}

}  // namespace gapwell
