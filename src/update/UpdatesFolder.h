#pragma once

#include <string>

#include "base/PosixFile.h"

namespace gapwell {

// Makes `folder` (a path ending in "/") ready for a new archive: creates it, with any missing
// parent folders, then deletes every file in it (links included, never followed); subfolders
// stay. When `folder` is a link, a file, a FIFO or anything else that is not a real folder,
// nothing is touched and RuntimeError(ENOTDIR) is thrown; any other failing step throws too.
// Returns the folder opened: whatever its name comes to mean later (a link put in its place,
// say), the archive is written, read and deleted through this descriptor.
UniqueFd PrepareUpdatesFolder(const std::string& folder);

}  // namespace gapwell
