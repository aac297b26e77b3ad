#pragma once

#include <string>

namespace gapwell {

// The names one installation works with. Folders end in "/".
struct InstallPlan {
    std::string archivePath;    // the downloaded archive, inside updatesFolder
    std::string updatesFolder;  // where the archive is unpacked
    std::string appFolder;      // the program folder
    std::string baseName;       // the archive's file name up to its first "."; names the program
    std::string scriptPath;     // appFolder + "DeleteOld_" + tag + ".sh"

    // The executable the archive carries and replaces: the base name itself (GPW.zip: GPW).
    const std::string& Executable() const { return baseName; }
    // The name under which the new executable travels until it replaces the old one.
    std::string NewExecutable() const { return baseName + ".new"; }
};

// The pattern of the hand-over scripts in the program folder (this one and leftovers).
inline constexpr const char* kHandOverScriptPattern = "DeleteOld_*.sh";

// Builds the plan; `tag` makes the script's name (GetUniqueTag). Throws RuntimeError when the
// archive's file name has no "." or nothing before its first one.
InstallPlan MakeInstallPlan(const std::string& archivePath, const std::string& updatesFolder,
                            const std::string& appFolder, const std::string& tag);

}  // namespace gapwell
