#pragma once

#include <cstddef>
#include <string>

namespace gapwell {

// Replaces whatever is at `name` in the open folder `folder` (AT_FDCWD: `name` is a path) with
// exactly `size` bytes: deletes the old entry, creates a new file exclusively with mode 0600
// (an existing name, a link included, is never followed or reused) and writes all bytes. Each
// failing step is reported as "DownloadFile" in "clsDownload" with Retry and Ignore; a step
// given up (Ignore or Abort) deletes what was created: only a file written whole and closed is
// kWritten.
enum class WriteOutcome { kWritten, kGivenUp, kAborted };
WriteOutcome WriteDownloadedFile(int folder, const std::string& name, const char* data,
                                 std::size_t size);

}  // namespace gapwell
