#include "update/FolderMove.h"

#include <fcntl.h>
#include <stdio.h>

#include <cerrno>

#include "base/RuntimeError.h"
#include "update/NoFollow.h"

namespace gapwell {

void FolderMove::MoveEntry(int from, int to, const std::string& name) {
    if (IsFolderEntry(from, name) || IsFolderEntry(to, name)) {
        throw RuntimeError(EISDIR, "A folder is in the way: " + name);
    }
    if (::renameat(from, name.c_str(), to, name.c_str()) != 0) {
        throw ErrnoError(errno, name);
    }
    done_.push_back({from, to, name});
}

void FolderMove::SetAside(const std::string& name) {
    MoveEntry(target_, aside_, name);
}

void FolderMove::BringIn(const std::string& name) {
    if (EntryStatus(target_, name)) {
        SetAside(name);
    }
    MoveEntry(incoming_, target_, name);
}

bool FolderMove::PutBack() {
    bool complete = true;
    while (!done_.empty()) {
        const Move move = done_.back();
        done_.pop_back();
        complete =
            ::renameat(move.to, move.name.c_str(), move.from, move.name.c_str()) == 0 && complete;
    }
    return complete;
}

}  // namespace gapwell
