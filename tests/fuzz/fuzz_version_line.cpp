// The version-line reader on any file content: whatever it accepts names a plain archive file
// (only [A-Za-z0-9._-], no "..", holding ".zip", starting with a letter or digit), taken from
// the end of the archive URL, and a version of digits and dots; whatever it refuses offers
// nothing.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "update/VersionLine.h"

namespace {

bool IsSafeName(const std::string& name) {
    if (name.empty() || !std::isalnum(static_cast<unsigned char>(name.front())) ||
        name.find("..") != std::string::npos || name.find(".zip") == std::string::npos) {
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
    const gapwell::VersionOffer offer = gapwell::ParseVersionLine(gapwell::FirstLine(text));
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
    if (!IsSafeName(offer.archiveFileName) || !nameEndsTheUrl || !IsVersion(offer.newestVersion) ||
        !gapwell::IsPlainArchiveName(offer.archiveFileName)) {
        std::abort();
    }
    return 0;
}
