#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace gapwell::test {

// Everything a folder holds, read without following links: relative path -> one text with the
// entry's kind, mode bits and bytes (a file's content, a link's target). Two snapshots are
// equal exactly when names, kinds, modes and bytes are all the same.
using FolderSnapshot = std::map<std::string, std::string>;

FolderSnapshot SnapshotFolder(const std::filesystem::path& folder);

// The entries that differ between two snapshots, one line each ("+ name", "- name",
// "~ name"), for test failure messages; empty when they are equal.
std::string SnapshotDifference(const FolderSnapshot& before, const FolderSnapshot& after);

}  // namespace gapwell::test
