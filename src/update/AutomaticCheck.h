#pragma once

#include <string>

namespace gapwell {

// The automatic-check setting: the first byte of `autoupdate.dat` in the program folder, 0 for
// off and anything else for on. Bytes after the first are never read or written.

// Program folder + "/autoupdate.dat".
std::string AutomaticCheckFile();

// Whether the check is on: a missing file means on (and is not created); an empty file reads
// as off, like a byte that was never written. Throws RuntimeError when the file exists but
// cannot be read.
bool ReadAutomaticCheck(const std::string& path);

// Writes 1 (on) or 0 (off) as the first byte, creating the file when it is missing and never
// shortening it. Throws RuntimeError when that fails.
void WriteAutomaticCheck(const std::string& path, bool on);

}  // namespace gapwell
