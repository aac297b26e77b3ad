#include "update/UpdatesFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "base/RuntimeError.h"
#include "update/NoFollow.h"

namespace gapwell {

UniqueFd PrepareUpdatesFolder(const std::string& folder) {
    const std::filesystem::path path = std::filesystem::path(folder).parent_path();
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        throw ErrnoError(error.value(), path.parent_path().string());
    }
    const UniqueFd parent = OpenFolder(path.parent_path().string());
    const std::string name = path.filename().string();
    if (::mkdirat(parent.Get(), name.c_str(), 0755) != 0 && errno != EEXIST) {
        throw ErrnoError(errno, folder);
    }
    UniqueFd updates = OpenSubfolder(parent.Get(), name, folder);
    for (const std::string& entry : FolderNames(updates.Get())) {
        if (!IsFolderEntry(updates.Get(), entry) &&
            ::unlinkat(updates.Get(), entry.c_str(), 0) != 0) {
            throw ErrnoError(errno, folder + entry);
        }
    }
    return updates;
}

}  // namespace gapwell
