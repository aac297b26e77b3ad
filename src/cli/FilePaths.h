#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace gapwell::cli {

// Adds to `command` an option or (a name without "-") a positional argument that names a file,
// refusing "" (an empty make variable would silently drop what the option names).
CLI::Option* AddFileOption(CLI::App& command, const std::string& name, std::string& file,
                           const std::string& description);

// A UTF-8 file name as a path, on Windows too.
std::filesystem::path PathOf(const std::string& utf8);

// The file a path that is a symbolic link points at, so that a new file replaces that file and
// not the link; any other path as it is.
std::string FollowLink(const std::string& path);

// Refuses (RuntimeError) a file to be written, given as (option, path), that exists and is not a
// regular file, or a link to one: a device or a FIFO would be replaced by the new file.
void RefuseSpecialOutput(const std::string& option, const std::string& path);

// Refuses (RuntimeError) when two of the files, each given as (option, path), are one file:
// the same name, or the same file through another path or a link. Empty paths are skipped.
void RefuseSameFiles(const std::vector<std::pair<std::string, std::string>>& files);

}  // namespace gapwell::cli
