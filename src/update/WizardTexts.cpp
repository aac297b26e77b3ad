#include "update/WizardTexts.h"

#include <algorithm>

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

namespace {

constexpr char kEllipsis[] = "...";

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::int64_t CharCount(const std::string& text) {
    return std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuationByte(c); });
}

// The first `count` characters of `text`, never cutting a character in two.
std::string FirstChars(const std::string& text, std::int64_t count) {
    std::size_t end = 0;
    for (std::int64_t taken = 0; end < text.size() && taken < count; ++taken) {
        ++end;
        while (end < text.size() && IsContinuationByte(text[end])) {
            ++end;
        }
    }
    return text.substr(0, end);
}

// The longest run of whole leading folders ("/", "/home/", "/home/ann/" ...) of `folders`
// that has at most `room` characters.
std::string LeadingFolders(const std::string& folders, std::int64_t room) {
    std::string kept;
    for (std::size_t slash = folders.find('/'); slash != std::string::npos;
         slash = folders.find('/', slash + 1)) {
        std::string candidate = folders.substr(0, slash + 1);
        if (CharCount(candidate) > room) {
            break;
        }
        kept = std::move(candidate);
    }
    return kept;
}

}  // namespace

std::string CompactPath(const std::string& path, std::int32_t maxChars) {
    if (CharCount(path) <= maxChars) {
        return path;
    }
    const std::size_t lastSlash = path.rfind('/');
    const std::string name = path.substr(lastSlash + 1);
    const std::string tail = std::string(kEllipsis) + "/" + name;
    if (lastSlash != std::string::npos && maxChars >= CharCount(tail)) {
        const std::string folders = path.substr(0, path.size() - name.size());
        return LeadingFolders(folders, maxChars - CharCount(tail)) + tail;
    }
    const std::int64_t ellipsisChars = sizeof kEllipsis - 1;
    if (maxChars <= ellipsisChars) {
        return std::string(kEllipsis).substr(0, static_cast<std::size_t>(std::max(maxChars, 0)));
    }
    return FirstChars(name, maxChars - ellipsisChars) + kEllipsis;
}

}  // namespace gapwell
