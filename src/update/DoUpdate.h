#pragma once

#include <string>
#include <string_view>

#include "update/ZipExtract.h"

namespace gapwell {

// What an installation may take and how long its hand-over waits.
struct InstallOptions {
    ExtractBounds bounds = kReleaseExtractBounds;
    int waitSeconds = 60;  // for the program to end, before the hand-over gives up
    int processId = 0;     // the program the hand-over waits for; 0: this process
};

// Installs the archive downloaded into `UpdatesFolder` (Finish in the wizard), all or nothing:
// unpacks its top-level files into a work folder of the updates folder and checks them (the
// file named like the running program is the new executable, staged as "<name>.new"); then
// moves them into the program folder and starts the hidden hand-over script, which swaps the
// executables once this program has ended and starts the new one. A refused archive, or any
// failure on the way, leaves the program folder exactly as it was and starts nothing; the
// archive stays in the updates folder. Failures are reported through the error handler as
// "DoUpdate" of "frmUpdate" (Retry tries the failed step again, Ignore leaves the update).
// Returns true when the script was started.
//
// `archive` is the archive's bytes, held in memory since they were checked, so that exactly
// those are installed; `ArchivePath` names it in reports.
bool DoUpdate(const std::string& ArchivePath, std::string_view archive,
              const std::string& UpdatesFolder, const InstallOptions& options);
// The archive file at `ArchivePath`, read once into memory (a link or anything but a regular
// file of at most kMaxArchiveBytes is refused) and installed from there.
bool DoUpdate(const std::string& ArchivePath, const std::string& UpdatesFolder);
bool DoUpdate(const std::string& ArchivePath, const std::string& UpdatesFolder,
              const InstallOptions& options);

}  // namespace gapwell
