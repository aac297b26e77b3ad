#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>
#include <vector>

#include "base/PosixFile.h"

namespace gapwell {

// Folders and files reached without ever following a symbolic link: every operation works on
// a name inside a folder opened as a descriptor, and a link is handled as the link itself.

// Whether `name` names an entry directly inside a folder: not empty, ".", ".." or holding "/",
// and holding no NUL, CR or LF, which no release's file name needs.
bool IsPlainName(const std::string& name);

// Opens the folder at `path`; a link as its last part is not followed. Throws RuntimeError.
UniqueFd OpenFolder(const std::string& path);

// Opens the real folder `name` inside `parent`. A link, a file, a FIFO or anything else that is
// not a folder throws RuntimeError(ENOTDIR) naming `path`, without opening it.
UniqueFd OpenSubfolder(int parent, const std::string& name, const std::string& path);

// Creates the folder `name` inside `parent` with a fresh name made from `prefix`; returns the
// name. Throws RuntimeError.
std::string MakeFreshFolder(int parent, const std::string& prefix);

// The names in `folder`, without "." and "..". Throws RuntimeError.
std::vector<std::string> FolderNames(int folder);

// What `name` in `folder` is (a link is described, not followed); nullopt when it is missing.
std::optional<struct stat> EntryStatus(int folder, const std::string& name);
bool IsFolderEntry(int folder, const std::string& name);

// What a work folder's name becomes while RemoveWorkFolder deletes it.
inline constexpr char kRemovedFolderPrefix[] = ".removed-";

// Removes `name` from `parent`, first renamed to a fresh name beginning kRemovedFolderPrefix,
// after deleting what it holds: files, links and other entries
// directly inside it and inside its own folders, which go too. Deeper folders stay, and so does
// everything else that cannot be removed; never throws. For the installer's own work folders.
void RemoveWorkFolder(int parent, const std::string& name);

}  // namespace gapwell
