// The version-line reader on any file content, long lines included: whatever it accepts names a
// plain archive file for the program "GPW" (only [A-Za-z0-9._-], no "..", holding ".zip",
// "GPW" before its first "."), taken from the end of an https archive URL without control
// characters or blanks, and a version of digits and dots; whatever it refuses offers nothing.
// Comparing any two versions it reads terminates.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "update/records/VersionFile.h"

namespace {

bool IsSafeName(const std::string& name) {
    if (name.compare(0, 4, "GPW.") != 0 || name.find("..") != std::string::npos ||
        name.find(".zip") == std::string::npos) {
        return false;
    }
    for (const char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_') {
            return false;
        }
    }
    return true;
}

bool IsVersion(const std::string& version) {
    return version.find_first_of("0123456789") != std::string::npos &&
           version.find_first_not_of("0123456789.") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const gapwell::VersionOffer offer = gapwell::ParseVersionLine(
        gapwell::FirstLine(text), {"https://www.tarnwick.example/tarnwick/updates/", "GPW"});
    if (!offer.usable) {
        if (offer.newestVersion != "0.0.0" || !offer.archiveFileName.empty()) {
            std::abort();
        }
        return 0;
    }
    const std::string& url = offer.archiveUrl;
    const bool nameEndsTheUrl = url.size() > offer.archiveFileName.size() &&
                                url.compare(url.size() - offer.archiveFileName.size(),
                                            std::string::npos, offer.archiveFileName) == 0 &&
                                url[url.size() - offer.archiveFileName.size() - 1] == '/';
    const bool plainUrl =
        url.compare(0, 8, "https://") == 0 && std::none_of(url.begin(), url.end(), [](char c) {
            return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F;
        });
    if (!IsSafeName(offer.archiveFileName) || !nameEndsTheUrl || !plainUrl ||
        !IsVersion(offer.newestVersion) ||
        !gapwell::IsPlainArchiveName(offer.archiveFileName, "GPW")) {
        std::abort();
    }
    (void)gapwell::IsNewerVersion(offer.newestVersion, text);
    return 0;
}
