#include "update/FolderMove.h"

#include <fcntl.h>
#include <stdio.h>
#include <string.h>

#include <cerrno>

#include "base/RuntimeError.h"
#include "update/NoFollow.h"

namespace gapwell {

namespace {

bool Holds(int folder, const std::string& name) {
    return EntryStatus(folder, name).has_value();
}

// Moves `name` back from `from` to `to`; "" or why it failed.
std::string MoveBack(int from, int to, const std::string& name) {
    if (::renameat(from, name.c_str(), to, name.c_str()) == 0) {
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
    MoveEntry(folders_.target, folders_.aside, {MoveKind::kAside, name});
}

void FolderMove::BringIn(const std::string& name) {
    if (Holds(folders_.target, name)) {
        SetAside(name);
    }
    MoveEntry(folders_.incoming, folders_.target, {MoveKind::kBringIn, name});
}

bool FolderMove::PutBack() {
    return UndoMoves(folders_, journal_.Moves()).empty();
}

std::string UndoMoves(const MoveFolders& folders, const std::vector<JournalMove>& moves) {
    std::string failure;
    for (auto move = moves.rbegin(); move != moves.rend(); ++move) {
        const std::string& name = move->name;
        std::string undone;
        if (move->kind == MoveKind::kBringIn) {
            if (Holds(folders.target, name) && !Holds(folders.incoming, name)) {
                undone = MoveBack(folders.target, folders.incoming, name);
            }
        } else if (Holds(folders.aside, name)) {
            undone = Holds(folders.target, name) ? name + ": something is in its place"
                                                 : MoveBack(folders.aside, folders.target, name);
        }
        if (failure.empty()) {
            failure = undone;
        }
    }
    return failure;
}

}  // namespace gapwell
