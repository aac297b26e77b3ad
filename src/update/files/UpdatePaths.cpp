#include "update/files/UpdatePaths.h"

#include <sys/stat.h>

#include "platform/Platform.h"

namespace gapwell {

std::string GetTempPath() {
    return AddBackslash(CurrentPlatform().TempFolder());
}

std::string AddBackslash(const std::string& path) {
    if (path.empty() || path.back() == '/') {
        return path;
    }
    return path + '/';
}

std::string GetFileName(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

bool FolderExists(const std::string& path) {
    struct stat status {};
    return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace gapwell
