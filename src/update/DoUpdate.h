#pragma once

#include <string>

namespace gapwell {

// Finish of the Live Update wizard: unpacks the downloaded archive at `ArchivePath` into
// `UpdatesFolder`, moves the release into the program folder and starts the hidden hand-over
// script that replaces the executable once the program has ended. Reports its own failures as
// "DoUpdate" in "frmUpdate"; returns true when the hand-over script was started.
bool DoUpdate(const std::string& ArchivePath, const std::string& UpdatesFolder);

}  // namespace gapwell
