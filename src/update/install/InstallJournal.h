#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/PosixFile.h"

namespace gapwell {

class InstallLock;

// The journal of one move-in, the file "journal" in the installation's work folder: what the
// installation is, then one line for each move, written and synced before the move is made, so
// that whatever ends the program (a crash, a kill, a power cut) the moves can be undone later.
// Lines are "|"-separated fields, escaped like Bug.log's (RecordFields.h), each sealed by a last
// field: a checksum of the line keyed with the installation's id (InstallLock.h).
//   begin|<installation id>|<program file name>|<SHA-256 of the new program file>
//   aside|<name>   the program folder's <name> goes to the aside folder
//   in|<name>      the incoming folder's <name> goes to the program folder
//   moved          every move is made; the hand-over script takes over
// A last line cut short by a crash names a move that was never made.

inline constexpr char kJournalName[] = "journal";

enum class MoveKind { Aside, BringIn };

struct JournalMove {
    MoveKind kind = MoveKind::BringIn;
    std::string name;
};

// What a journal says.
struct JournalState {
    bool begun = false;  // false: not even the first line was written, nothing was moved
    std::string programName;
    std::string programHash;  // of the new program file, as SHA256OfEntry gives it
    std::vector<JournalMove> moves;
    bool movedIn = false;
};

class InstallJournal {
  public:
    // Starts the journal of the installation `lock` holds in the work folder `workFolder` (a
    // descriptor); an existing journal is never replaced. Throws RuntimeError.
    InstallJournal(int workFolder, const InstallLock& lock, const std::string& programName,
                   const std::string& programHash);

    // Appends the move and syncs the journal. Throws RuntimeError; the move must then not be
    // made.
    void Record(const JournalMove& move);
    // Appends "moved" and syncs the journal. Throws RuntimeError.
    void RecordMovedIn();
    // The moves recorded so far.
    const std::vector<JournalMove>& Moves() const { return moves_; }

  private:
    void Append(const std::string& line);

    std::string installId_;
    UniqueFd file_;
    std::vector<JournalMove> moves_;
};

// `line` (fields escaped and joined) with its seal for the installation `installId`, and "\n".
std::string SealedLine(const std::string& line, const std::string& installId);

// The journal in `workFolder` (whose path `path` names it in reports) of the installation `lock`
// holds;
// nullopt when there is none. Throws RuntimeError when the journal is not one this user's
// installer wrote and sealed for that installation: a link or no regular file, another owner or
// any mode but 0600, a line whose checksum does not match, lines out of order, or a name that is
// not a plain name of the folder.
std::optional<JournalState> ReadJournal(int workFolder, const std::string& path,
                                        const InstallLock& lock);

// Deletes the journal in `workFolder` and syncs the folder, so that the undo it described counts
// as done. Returns false when that failed.
bool RemoveJournal(int workFolder);

}  // namespace gapwell
