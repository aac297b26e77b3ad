#pragma once

#include <cstdint>
#include <string>

namespace gapwell {

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

}  // namespace gapwell
