#pragma once

#include <string>

namespace gapwell {

// True when a non-empty path names an existing normal file (not a directory, not hidden).
// Wildcards (* ? [...]) in the last path component match like a directory listing: the answer
// is true as soon as one normal file matches. Any failure answers false.
bool FileExists(const std::string& path);

}  // namespace gapwell
