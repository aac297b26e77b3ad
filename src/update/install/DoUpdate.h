#pragma once

#include <string>
#include <string_view>

#include "services/ReportName.h"
#include "update/install/ZipExtract.h"

namespace gapwell {

// What an installation may take and how long its hand-over waits.
struct InstallOptions {
    ExtractBounds bounds = kReleaseExtractBounds;
    int waitSeconds = 60;  // for the program to end, before the hand-over gives up
    int processId = 0;     // the program the hand-over waits for; 0: this process
    // What failures are reported as: this procedure's own name unless the caller (the wizard's
    // Finish step) gives its own.
    ReportName reportAs{"DoUpdate", "DoUpdate"};
};

// Installs the archive downloaded into `updatesFolder` (Finish in the wizard), all or nothing:
// unpacks its top-level files into a work folder of the updates folder and checks them (the
// file named like the running program is the new executable, staged as "<name>.new"); then
// moves them into the program folder and starts the hidden hand-over script, which swaps the
// executables once this program has ended and starts the new one. A refused archive, or any
// failure on the way, leaves the program folder exactly as it was and starts nothing; the
// archive stays in the updates folder. Failures are reported through the error handler under
// `options.reportAs` (Retry tries the failed step again, Ignore leaves the update).
// Returns true when the script was started.
//
// `archive` is the archive's bytes, held in memory since they were checked, so that exactly
// those are installed; `archivePath` names it in reports.
bool DoUpdate(const std::string& archivePath, std::string_view archive,
              const std::string& updatesFolder, const InstallOptions& options);
// The archive file at `archivePath`, read once into memory (a link or anything but a regular
// file of at most kMaxArchiveBytes is refused) and installed from there.
bool DoUpdate(const std::string& archivePath, const std::string& updatesFolder);
bool DoUpdate(const std::string& archivePath, const std::string& updatesFolder,
              const InstallOptions& options);

}  // namespace gapwell
