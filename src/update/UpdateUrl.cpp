#include "update/UpdateUrl.h"

#include <cstdlib>

#include "base/Version.h"
#include "update/UpdatePaths.h"

namespace gapwell {

std::string UpdateBaseUrl() {
    const char* fromEnvironment = std::getenv("GAPWELL_UPDATE_URL");
    if (fromEnvironment != nullptr && *fromEnvironment != '\0') {
        return AddBackslash(fromEnvironment);
    }
    return version::kUpdateBaseUrl;
}

std::string VersionFileUrl() {
    return UpdateBaseUrl() + version::kAppTitle + ".txt";
}

}  // namespace gapwell
