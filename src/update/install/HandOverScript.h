#pragma once

#include <string>
#include <vector>

namespace gapwell {

// The pattern of the hand-over scripts in the program folder (this one and leftovers).
inline constexpr const char* kHandOverScriptPattern = "DeleteOld_*.sh";
// What the new program's name carries until the script gives it the program's own name.
inline constexpr const char* kTravellingSuffix = ".new";

// What the hand-over script finishes, or undoes.
struct HandOverPlan {
    std::string executable;  // the program's file name
    int waitSeconds = 60;    // how long it waits for the program to end
    // The installation's work folder, relative to the program folder, with the "incoming" and
    // "aside" folders of FolderMove and its journal.
    std::string workFolder;
    std::vector<std::string> names;  // the files brought into the program folder, in order
    std::string scriptName;          // the script's own name in the program folder
    std::string bugLog;              // where its records go: the path of Bug.log
    std::string systemVersion;       // its records' system version ("6.1.0")
};

// The POSIX shell script that finishes an installation once the program has ended, all or
// nothing. It runs in the program folder with the program's process id as its one argument.
// First it takes the installation's lock (InstallLock.h, with flock(1)), waiting for the
// installer to let go of it, and holds it to its end; a start that took the lock first and undid
// the installation leaves it nothing to do. Then it polls the program every 0.2 s. When the
// program is still there after `waitSeconds`, or the new executable cannot take its name, it
// undoes the move-in by the same rules as UndoMoves: every file brought in goes back to the
// incoming folder, every file set aside (hand-over scripts left over included) back to the
// program folder; then it deletes the journal and the work folder (they stay when a file could
// not be put back, for the next start to finish). When the program has ended, it renames
// executable + ".new" over `executable`, deletes the work folder and the hand-over scripts
// (itself included) and replaces itself with the new executable, which so runs detached as the
// script did. Before every move it checks that the updates folder, the work folder and the
// folders in it are real folders (no links) of this user, and stops when they are not, leaving
// everything in place. Each end but the new program's start writes one Bug.log record, and each
// end removes the script. Every name is quoted.
std::string HandOverScript(const HandOverPlan& plan);

// `text` in single quotes, safe as one word of a shell command.
std::string ShellQuote(const std::string& text);

// Writes the script in one piece as the new file `name` (mode 0644) in `folder` (a descriptor);
// an existing name, a link included, is never reused or followed. Throws RuntimeError on
// failure, and a script not written whole does not stay.
void WriteHandOverScript(int folder, const std::string& name, const std::string& text);

}  // namespace gapwell
