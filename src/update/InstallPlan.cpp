#include "update/InstallPlan.h"

#include <cerrno>

#include "base/RuntimeError.h"
#include "update/UpdatePaths.h"

namespace gapwell {

InstallPlan MakeInstallPlan(const std::string& archivePath, const std::string& updatesFolder,
                            const std::string& appFolder, const std::string& tag) {
    const std::string fileName = GetFileName(archivePath);
    const std::size_t dot = fileName.find('.');
    if (dot == std::string::npos || dot == 0) {
        throw RuntimeError(EINVAL, "No program name in the archive's name: " + fileName);
    }
    const std::string folder = AddBackslash(appFolder);
    return InstallPlan{archivePath, AddBackslash(updatesFolder), folder, fileName.substr(0, dot),
                       folder + "DeleteOld_" + tag + ".sh"};
}

}  // namespace gapwell
