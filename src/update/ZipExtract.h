#pragma once

#include <cstdint>
#include <string>

namespace gapwell {

// How much one archive may unpack to.
struct ExtractBounds {
    std::uint64_t maxTotalBytes = 0;  // the files taken, together
    std::uint64_t maxEntries = 0;     // every entry of the archive, taken or skipped
};

// A release holds a few files: 256 MiB and 1000 entries leave it plenty of room.
inline constexpr ExtractBounds kReleaseExtractBounds{256ULL * 1024 * 1024, 1000};

// Unpacks the zip archive's top-level regular files into `folder` (which ends in "/"),
// replacing files of the same name there. Skipped: folders, links and other special entries,
// and every name that is empty, ".", or holds "/", "\" or "..". Nothing is written outside
// `folder`. Every taken file is read whole before any of them gets its name, so an archive
// that is refused leaves the folder as it was: one that is not a zip or is damaged, holds more
// entries than the bounds allow, or whose taken files come to more bytes. Throws RuntimeError
// then, and when a file cannot be written.
void ExtractTopLevelFiles(const std::string& archivePath, const std::string& folder,
                          const ExtractBounds& bounds);

}  // namespace gapwell
