#pragma once

#include <string>

namespace gapwell {

// The updates folder's name in the program folder, the same in every language: a start in any
// language finds what an installation in another left there.
inline constexpr char kUpdatesFolderName[] = "Updates";

// The user's temporary folder with a trailing "/".
std::string GetTempPath();

// Empty stays empty; a path that ends in "/" is returned unchanged; any other gets "/".
std::string AddBackslash(const std::string& path);

// The text after the last "/"; the whole text when there is none.
std::string GetFileName(const std::string& path);

// True when the path is not empty and names an existing folder; false on any error.
bool FolderExists(const std::string& path);

}  // namespace gapwell
