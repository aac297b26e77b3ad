#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace gapwell {

// Replaces the file at `path` as a whole by a new regular file holding `content`, with `mode`
// whatever the umask: the new file is written beside it under a fresh name, synced, and renamed
// over the name, so that a link, a FIFO or a file planted there is replaced, never written
// through, and a crash leaves the old file or the new one. Missing parent folders are created.
// Throws RuntimeError; no temporary file is left behind.
void ReplaceFile(const std::string& path, std::string_view content, mode_t mode);

}  // namespace gapwell
