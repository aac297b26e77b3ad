#pragma once

#include <cstdint>
#include <string>

namespace gapwell {

// The wizard's texts made from numbers and paths: its progress lines and the shortened paths
// it shows.

// `numerator / denominator` as "#0.00": at least one integer digit, exactly two decimals
// (rounded half up) after `decimalSeparator`, no thousands separator. Both are non-negative
// and the denominator positive.
std::string FormatHundredths(std::int64_t numerator, std::int64_t denominator,
                             char decimalSeparator);

// The archive progress line, e.g. "12.50 / 350.25 KB  downloaded..." for 12800 of 358656
// bytes: kilobytes while the total is below 1024 whole kilobytes, megabytes from there on.
std::string DownloadProgressText(std::int64_t currentBytes, std::int64_t totalBytes,
                                 char decimalSeparator);

// The archive result line, e.g. "Download of 350.25 KB  complete." for 358656 bytes.
std::string DownloadCompleteText(std::int64_t totalBytes, char decimalSeparator);

// The version check's result line, e.g. "57 / 57 bytes of configuration retrieved.".
std::string ConfigurationRetrievedText(std::int64_t totalBytes);

// A path of more than `maxChars` characters (UTF-8 code points) shortened to at most
// `maxChars`: the leading folders that fit, then ".../", then the file name, as in
// "/home/ann/.../Updates/GPW.zip" for a long folder. When even ".../" and the file name do not
// fit, the file name alone is cut and ends in "...". Shorter paths are returned unchanged.
std::string CompactPath(const std::string& path, std::int32_t maxChars);

}  // namespace gapwell
