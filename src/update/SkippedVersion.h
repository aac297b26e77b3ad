#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "update/TransferBounds.h"

namespace gapwell {

// The version the user chose to skip when the start-up check offered it, kept in a small file
// of its own beside autoupdate.dat: the version's digits and dots, nothing else. The record is
// a convenience: a missing, damaged or unreadable one means that nothing is skipped, and
// failing to write it never stops the update flow.

inline constexpr char kSkippedVersionName[] = "skipversion.dat";

// The longest version that is recorded and read back: any version a version file can offer.
inline constexpr auto kMaxSkippedVersionBytes = static_cast<std::size_t>(kMaxVersionFileBytes);

// "skipversion.dat" in the configuration folder (where autoupdate.dat is).
std::string SkippedVersionFile();

// The recorded version; "" when there is none or the record is not a plain regular file
// holding a version of at most kMaxSkippedVersionBytes (a link, a FIFO, a folder, a long or garbled
// file). Never waits and never throws.
std::string ReadSkippedVersion(const std::string& path);

// Records `version` (at most kMaxSkippedVersionBytes), replacing the record as a whole with a
// file of mode 0644 (ReplacedFile.h: a link or a file planted there is replaced, never followed
// or written through). Returns whether it was written; never throws.
bool WriteSkippedVersion(const std::string& path, std::string_view version);

// Whether `offered` is the version `skipped` names (1.2.4 and 1.2.4.0 are the same version).
bool IsSkippedVersion(std::string_view skipped, std::string_view offered);

}  // namespace gapwell
