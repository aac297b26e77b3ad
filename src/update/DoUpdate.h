#pragma once

#include <string>

#include "update/ZipExtract.h"

namespace gapwell {

// What an installation may take and how long its hand-over waits.
struct InstallOptions {
    ExtractBounds bounds = kReleaseExtractBounds;
    int waitSeconds = 60;  // for the program to end, before the hand-over gives up
    int processId = 0;     // the program the hand-over waits for; 0: this process
};

// Installs the archive downloaded into `UpdatesFolder` (Finish in the wizard): unpacks its
// top-level files, moves them into the program folder with the new executable as
// "<name>.new", puts the archive back and starts the hidden hand-over script, which swaps the
// executables once this program has ended and starts the new one. The script is written and
// started only when the new executable lies beside the old one as a regular, non-empty file;
// otherwise the program folder keeps its executable. Failures are reported through the error
// handler as "DoUpdate" of "frmUpdate". Returns true when the script was started.
bool DoUpdate(const std::string& ArchivePath, const std::string& UpdatesFolder);
bool DoUpdate(const std::string& ArchivePath, const std::string& UpdatesFolder,
              const InstallOptions& options);

}  // namespace gapwell
