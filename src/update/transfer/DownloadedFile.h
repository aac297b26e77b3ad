#pragma once

#include <cstddef>
#include <string>

namespace gapwell {

// Replaces whatever is at `name` in the open folder `folder` (AT_FDCWD: `name` is a path) with
// exactly `size` bytes: deletes the old entry, creates a new file exclusively with mode 0600
// (an existing name, a link included, is never followed or reused) and writes all bytes. A
// failure is reported as "DownloadFile" in "clsDownload" with Retry (the file is made anew) and
// Ignore; a failed attempt deletes what it created: only a file written whole and closed is
// Written.
enum class WriteOutcome { Written, GivenUp, Aborted };
WriteOutcome WriteDownloadedFile(int folder, const std::string& name, const char* data,
                                 std::size_t size);

}  // namespace gapwell
