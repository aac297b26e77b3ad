#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace gapwell::cli {

// For CLI11's check of a file option: why "" is refused (an empty make variable would silently
// drop what the option names); empty for any other name.
std::string EmptyFileNameRefusal(const std::string& value);

// A UTF-8 file name as a path, on Windows too.
std::filesystem::path PathOf(const std::string& utf8);

// The file a path that is a symbolic link points at, so that a new file replaces that file and
// not the link; any other path as it is.
std::string FollowLink(const std::string& path);

// Refuses (RuntimeError) when two of the files, each given as (option, path), are one file:
// the same name, or the same file through another path or a link. Empty paths are skipped.
void RefuseSameFiles(const std::vector<std::pair<std::string, std::string>>& files);

}  // namespace gapwell::cli
