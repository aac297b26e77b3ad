#pragma once

#include <cstddef>
#include <string>

namespace gapwell {

// Replaces whatever is at `fileName` with exactly `size` bytes: deletes the old file, creates
// a new one exclusively (an existing name, a link included, is never followed or reused) and
// writes all bytes. Each failing step is reported as "DownloadFile" in "clsDownload" with
// Retry and Ignore; returns false when a report was answered with Abort.
bool WriteDownloadedFile(const std::string& fileName, const char* data, std::size_t size);

}  // namespace gapwell
