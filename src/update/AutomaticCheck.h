#pragma once

#include <string>

namespace gapwell {

// The automatic-check setting: the first byte of `autoupdate.dat`, 0 for off and anything else
// for on. Bytes after the first are never read or written.

inline constexpr char kAutomaticCheckName[] = "autoupdate.dat";

// "autoupdate.dat" in the configuration folder: the program folder of a portable copy, the
// user's configuration folder for an installed one.
std::string AutomaticCheckFile();

// Whether the check is on: a missing file means on (and is not created), and so does anything
// but a regular file (a link is followed); an empty file reads as off, like a byte that was
// never written. Throws RuntimeError when the file exists but cannot be read.
bool ReadAutomaticCheck(const std::string& path);

// Writes 1 (on) or 0 (off) as the first byte, creating the file (and its folder) when it is
// missing and keeping the bytes after the first of a small regular file. The file is replaced
// as a whole (ReplacedFile.h): a link, a FIFO or another file planted in its place is replaced,
// never written through. Throws RuntimeError when that fails.
void WriteAutomaticCheck(const std::string& path, bool on);

}  // namespace gapwell
