#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/PosixFile.h"

namespace gapwell {

// The journal of one move-in, the file "journal" in the installation's work folder: what the
// installation is, then one line for each move, written and synced before the move is made, so
// that whatever ends the program (a crash, a kill, a power cut) the moves can be undone later.
// Lines are "|"-separated fields, escaped like Bug.log's (RecordFields.h):
//   begin|<process the hand-over waits for>|<the new program's travelling name>|<boot id>
//   aside|<name>   the program folder's <name> goes to the aside folder
//   in|<name>      the incoming folder's <name> goes to the program folder
//   moved          every move is made; the hand-over script takes over
// A last line cut short by a crash names a move that was never made.

inline constexpr char kJournalName[] = "journal";

enum class MoveKind { kAside, kBringIn };

struct JournalMove {
    MoveKind kind = MoveKind::kBringIn;
    std::string name;
};

// What a journal says.
struct JournalState {
    int waitedProcess = 0;
    std::string bootId;  // CurrentBootId when the journal began
    std::string travellingName;
    std::vector<JournalMove> moves;
    bool movedIn = false;
};

class InstallJournal {
  public:
    // Starts a new journal in the work folder `workFolder` (a descriptor), replacing an earlier
    // one. Throws RuntimeError.
    InstallJournal(int workFolder, int waitedProcess, const std::string& travellingName);

    // Appends the move and syncs the journal. Throws RuntimeError; the move must then not be
    // made.
    void Record(const JournalMove& move);
    // Appends "moved" and syncs the journal. Throws RuntimeError.
    void RecordMovedIn();
    // The moves recorded so far.
    const std::vector<JournalMove>& Moves() const { return moves_; }

  private:
    void Append(const std::string& line);

    UniqueFd file_;
    std::vector<JournalMove> moves_;
};

// The system's boot id, which tells whether a process id recorded earlier may still name that
// process (after a restart it names another one or none); "" when the system gives none.
std::string CurrentBootId();

// The journal in `workFolder`; nullopt when there is none (a link or anything but a regular file
// counts as none). Throws RuntimeError when it exists but cannot be read or makes no sense.
std::optional<JournalState> ReadJournal(int workFolder);

// Deletes the journal in `workFolder` and syncs the folder, so that the undo it described counts
// as done. Returns false when that failed.
bool RemoveJournal(int workFolder);

}  // namespace gapwell
