#pragma once

#include <string>

namespace gapwell {

// Reads the first line of the downloaded version file (see FirstLine) and deletes the file,
// also when reading failed. The file is opened without following a link. Throws RuntimeError
// when reading or deleting fails.
std::string TakeVersionFileLine(const std::string& path);

}  // namespace gapwell
