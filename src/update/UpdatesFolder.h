#pragma once

#include <string>

namespace gapwell {

// Makes `folder` ready for a new archive: creates it with any missing parent folders, then
// deletes every file in it (links included, never followed); subfolders stay. Throws
// RuntimeError when a step fails.
void PrepareUpdatesFolder(const std::string& folder);

}  // namespace gapwell
