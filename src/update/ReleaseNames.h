#pragma once

#include <string>
#include <vector>

namespace gapwell {

// What an archive's files may be called to be installed into the program folder.
struct ReleaseNameRules {
    std::string programName;        // the running program's file name: the one new executable
    std::string updatesFolderName;  // the updates folder inside the program folder
};

// Throws RuntimeError naming the first reason when the unpacked files `names` would not install
// safely into the program folder `appFolder` (a descriptor): no file named like the program, or
// a file whose name ends in ".new", is the updates folder's, a hand-over script's, that of a
// folder of the program folder, or that of a file the program keeps for the user there
// (Bug.log, the automatic-check setting, the skipped version), which a release must never replace.
// These names are compared ignoring the case of ASCII letters.
void CheckReleaseNames(const std::vector<std::string>& names, const ReleaseNameRules& rules,
                       int appFolder);

}  // namespace gapwell
