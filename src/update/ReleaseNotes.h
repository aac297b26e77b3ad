#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace gapwell {

// The release notes: whatever the version file holds after its first line. They are shown as
// plain text, so they are made safe to show here: bytes that are no valid UTF-8 become U+FFFD,
// line ends (CR LF, CR, LF) become one LF, a tab one blank, other control characters are
// dropped, blank lines at either end go, and notes longer than kMaxReleaseNotesBytes are cut at
// a character boundary and end with kReleaseNotesCutMark. A file of one line has no notes ("").

inline constexpr std::size_t kMaxReleaseNotesBytes = std::size_t{16} * 1024;
inline constexpr std::string_view kReleaseNotesCutMark = "\n[\xE2\x80\xA6]";  // "[…]"

// The notes of a version file's whole text.
std::string ReleaseNotesOf(std::string_view versionFileText);

}  // namespace gapwell
