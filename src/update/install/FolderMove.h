#pragma once

#include <string>
#include <vector>

#include "update/install/InstallJournal.h"

namespace gapwell {

// What the name of an installation's work folder in the updates folder begins with, and the
// names of the incoming and aside folders inside it.
inline constexpr char kWorkFolderPrefix[] = ".install-";
inline constexpr char kIncomingFolder[] = "incoming";
inline constexpr char kAsideFolder[] = "aside";

// The three folders of a move-in, as descriptors on one file system: the program folder, the
// folder the new files come from, and the folder that keeps what they replace.
struct MoveFolders {
    int target = -1;
    int incoming = -1;
    int aside = -1;
};

// Moves files into a folder so that the moves can be undone: whatever a move replaces is first
// set aside in a folder of its own, and every move is recorded in the journal before it is made.
// Names are never followed as links. A folder in the target is never moved.
class FolderMove {
  public:
    FolderMove(const MoveFolders& folders, InstallJournal& journal)
        : folders_(folders), journal_(journal) {}

    // Moves `name` out of the target into the aside folder. Throws RuntimeError.
    void SetAside(const std::string& name);
    // Sets aside what the target holds under `name`, if anything, then moves `name` from the
    // incoming folder into the target. Throws RuntimeError.
    void BringIn(const std::string& name);
    // Reverses every move recorded (UndoMoves); returns whether that succeeded.
    bool PutBack();

  private:
    void MoveEntry(int from, int to, const JournalMove& move);

    MoveFolders folders_;
    InstallJournal& journal_;
};

// Reverses `moves`, last first, each as far as it was made, so that it can run again after it
// was itself interrupted: a file brought in goes back to the incoming folder when the target
// holds it and the incoming folder does not; a file set aside goes back to the target when the
// aside folder holds it and nothing is in its place; no move back replaces anything. Goes on
// after a failure.
struct UndoneMoves {
    int moved = 0;        // the files moved back
    std::string failure;  // "" when every move is undone, otherwise what the first failure was
};
// Why UndoMoves would not put back every file the aside folder holds: one of them is not in
// `moves`, or something that no undone move takes away is in its place; "" when it would.
// Throws RuntimeError when the aside folder cannot be read.
std::string UndoObstacle(const MoveFolders& folders, const std::vector<JournalMove>& moves);

UndoneMoves UndoMoves(const MoveFolders& folders, const std::vector<JournalMove>& moves);

}  // namespace gapwell
