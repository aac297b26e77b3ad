#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gapwell {

// Replaces the file at `path` as a whole by a new regular file holding `content`: the new file
// is created exclusively beside it under a fresh name, written, flushed to the disk and renamed
// over the name, so that a link, a FIFO or a file planted there is replaced, never written
// through, and a crash leaves the old file or all of the new one, never a part. Missing parent
// folders are created. Throws RuntimeError; on a failure the new file is removed and `path` is
// left as it was.
// On POSIX systems the new file gets `mode` whatever the umask; without one, the permissions of
// the regular file it replaces carry over, and a file that did not exist gets 0666 less the
// umask. Windows has no such permissions and ignores `mode`.
// ReplacedFile.cpp holds the POSIX body, ReplacedFileWin32.cpp the Windows one. (The name is not
// ReplaceFile: windows.h makes that a macro.)
void ReplaceFileContent(const std::string& path, std::string_view content,
                        std::optional<unsigned> mode = std::nullopt);

// Creates the folders above the file `path` that do not exist yet (none for a bare name); throws
// RuntimeError naming `path`.
void CreateParentFolders(const std::string& path);

}  // namespace gapwell
