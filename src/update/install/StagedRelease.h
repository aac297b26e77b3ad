#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update/files/NoFollow.h"
#include "update/install/InstallLock.h"
#include "update/install/ZipExtract.h"

namespace gapwell {

// A downloaded release unpacked and checked in a work folder of the updates folder, with its
// hand-over script written beside its files, ready to move into the program folder as a whole.
// The program folder and the updates folder are opened without following links; nothing is
// moved into the program folder before every check has passed.
class StagedRelease {
  public:
    // Stages the archive `archive`, held in memory since it was checked and named `archiveName`
    // in reports, in a work folder of `updatesFolder` (which lies directly in the program
    // folder and ends in "/"). The running program's own file name names the
    // new executable, which is staged as that name + ".new" with the running program's mode
    // (less setuid, setgid and write for others). Throws RuntimeError when the archive is
    // refused or a step fails; only the work folder was touched, and it is gone again.
    StagedRelease(std::string_view archive, const std::string& archiveName,
                  const std::string& updatesFolder, const ExtractBounds& bounds, int waitSeconds);
    StagedRelease(const StagedRelease&) = delete;
    StagedRelease& operator=(const StagedRelease&) = delete;

    // Sets aside the hand-over scripts an earlier installation left, moves the staged files
    // into the program folder, each move recorded first in the work folder's journal
    // (InstallJournal.h), and starts the hand-over script, which waits for `processId` and then
    // finishes or undoes the installation; the work folder stays for it. When any of it fails,
    // every move is undone before RuntimeError is thrown: the program folder is as it was, and
    // the call can be made again. Whatever could not be put back stays in the work folder with
    // the journal, for the next call or the next start (InterruptedUpdate.h) to put back.
    void MoveInAndHandOver(int processId);

  private:
    // The work folder in the updates folder, removed with what it holds unless kept. Declared
    // after the folder it lies in and before the folders inside it, so that it goes last.
    struct WorkFolder {
        int parent = -1;
        std::string name;
        bool keep = false;
        WorkFolder() = default;
        WorkFolder(const WorkFolder&) = delete;
        WorkFolder& operator=(const WorkFolder&) = delete;
        ~WorkFolder() {
            if (!name.empty() && !keep) {
                RemoveWorkFolder(parent, name);
            }
        }
    };

    std::string appFolder_;
    UniqueFd app_;
    UniqueFd updates_;
    // The installation's lock, from the moment its work folder exists; let go of after the work
    // folder, should it go, is gone.
    std::optional<InstallLock> lock_;
    WorkFolder work_;
    UniqueFd incoming_;
    UniqueFd aside_;
    std::vector<std::string> names_;  // the staged files, the hand-over script last
    std::string scriptName_;
    std::string programHash_;  // of the staged new program (EntryHash.h)
};

}  // namespace gapwell
