#pragma once

#include <string>

#include "update/InstallPlan.h"

namespace gapwell {

// The file moves of an installation. Each throws RuntimeError (errno and path) on failure.

// Deletes the hand-over scripts an earlier installation left in the program folder.
void DeleteLeftoverScripts(const InstallPlan& plan);

// Renames the unpacked executable in the updates folder to its travelling name, with the
// permissions (mode bits 0777) of the executable it will replace. Does nothing when the
// archive brought no executable.
void PrepareNewExecutable(const InstallPlan& plan);

// True when `path` is a regular, non-empty file (a link does not count).
bool IsNewExecutable(const std::string& path);

// Moves every regular file of `fromFolder` into `toFolder`, replacing files of the same name;
// folders and links stay. Across file systems a file is copied beside its target and renamed.
void MoveFilesInto(const std::string& fromFolder, const std::string& toFolder);

// Moves the archive, which went into the program folder with the other files, back into the
// updates folder. Only an archive named base name + ".zip" is found; any other stays.
void PutArchiveBack(const InstallPlan& plan);

}  // namespace gapwell
