#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gapwell {

// How much one archive may unpack to.
struct ExtractBounds {
    std::uint64_t maxTotalBytes = 0;  // the files taken, together
    std::uint64_t maxEntries = 0;     // every entry of the archive, taken or skipped
};

// A release holds a few files: 256 MiB and 1000 entries leave it plenty of room.
inline constexpr ExtractBounds kReleaseExtractBounds{256ULL * 1024 * 1024, 1000};

// Unpacks the top-level regular files of the zip archive held in memory as `archive` (named
// `archiveName` in reports; read in place, never copied) into the folder `target`, which the
// caller made fresh for it, and returns their names. Skipped: folders, links and other special
// entries, and every name that is empty, ".", or holds "/", "\" or "..". A file is made 0755 when
// the archive records an execute bit for it (Unix attributes), 0644 otherwise: never setuid, setgid
// or writable by others. Throws RuntimeError when the archive is refused: not a zip or damaged,
// more entries than the bounds allow, taken files of more bytes, two taken entries of one name; and
// when a file cannot be written. `target` may then hold part of the files.
std::vector<std::string> ExtractTopLevelFiles(std::string_view archive,
                                              const std::string& archiveName, int target,
                                              const ExtractBounds& bounds);

}  // namespace gapwell
