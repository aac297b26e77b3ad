#include "platform/FileLocations.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/PosixFile.h"
#include "base/Version.h"

namespace gapwell {

namespace {

std::string HomeFolder() {
    std::string home = EnvironmentValue("HOME");
    if (home.empty()) {
        const passwd* entry = ::getpwuid(::getuid());
        home = entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
    }
    return home;
}

// An XDG base folder: the variable's value when it is an absolute path, else the default.
std::string BaseFolder(const std::string& variable, const std::string& fallback) {
    return !variable.empty() && variable[0] == '/' ? variable : fallback;
}

}  // namespace

UserFolders UserFoldersFromEnvironment() {
    return {HomeFolder(), EnvironmentValue("XDG_STATE_HOME"), EnvironmentValue("XDG_CONFIG_HOME")};
}

bool IsWritableFolder(const std::string& folder) {
    struct stat info {};
    return ::access(folder.c_str(), W_OK) == 0 && ::stat(folder.c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode) && (info.st_mode & 0222) != 0;
}

FileLocations PortableLocations(const std::string& programFolder) {
    return {programFolder, programFolder, true};
}

FileLocations LocationsFor(const std::string& programFolder, bool programFolderWritable,
                           const UserFolders& user) {
    if (programFolderWritable) {
        return PortableLocations(programFolder);
    }
    const std::string appFolder = std::string("/") + version::kAppId;
    return {BaseFolder(user.xdgStateHome, user.home + "/.local/state") + appFolder,
            BaseFolder(user.xdgConfigHome, user.home + "/.config") + appFolder, false};
}

bool IsSystemProgramFolder(const std::string& folder) {
    return folder.starts_with("/usr/") || folder.starts_with("/opt/");
}

FileLocations ProgramFileLocations(const std::string& programFolder) {
    const bool portable = IsWritableFolder(programFolder) && !IsSystemProgramFolder(programFolder);
    return LocationsFor(programFolder, portable, UserFoldersFromEnvironment());
}

}  // namespace gapwell
