#include "update/ProgressTexts.h"

#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"

namespace gapwell {

namespace {

constexpr std::int64_t kKilobyte = 1024;
constexpr std::int64_t kMegabyte = kKilobyte * kKilobyte;

struct SizeUnit {
    std::int64_t bytes;
    int nameId;
};

// Kilobytes while the total is below 1024 whole kilobytes, else megabytes.
SizeUnit UnitFor(std::int64_t totalBytes) {
    if (totalBytes / kKilobyte < 1024) {
        return {kKilobyte, kStrKilobytes};
    }
    return {kMegabyte, kStrMegabytes};
}

}  // namespace

std::string FormatHundredths(std::int64_t numerator, std::int64_t denominator,
                             char decimalSeparator) {
    const std::int64_t hundredths = (numerator * 100 + denominator / 2) / denominator;
    const std::int64_t fraction = hundredths % 100;
    return std::to_string(hundredths / 100) + decimalSeparator + (fraction < 10 ? "0" : "") +
           std::to_string(fraction);
}

std::string DownloadProgressText(std::int64_t currentBytes, std::int64_t totalBytes,
                                 char decimalSeparator) {
    const SizeUnit unit = UnitFor(totalBytes);
    return FormatHundredths(currentBytes, unit.bytes, decimalSeparator) + " / " +
           FormatHundredths(totalBytes, unit.bytes, decimalSeparator) + " " +
           LoadString(unit.nameId) + " " + LoadString(kStrDownloaded);
}

std::string DownloadCompleteText(std::int64_t totalBytes, char decimalSeparator) {
    const SizeUnit unit = UnitFor(totalBytes);
    return LoadString(kStrDownloadOf) + " " +
           FormatHundredths(totalBytes, unit.bytes, decimalSeparator) + " " +
           LoadString(unit.nameId) + " " + LoadString(kStrComplete);
}

std::string ConfigurationRetrievedText(std::int64_t totalBytes) {
    const std::string count = std::to_string(totalBytes);
    return count + " / " + count + " " + LoadString(kStrConfigurationRetrieved);
}

}  // namespace gapwell
