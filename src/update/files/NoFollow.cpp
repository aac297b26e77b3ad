#include "update/files/NoFollow.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string_view>

#include "base/RuntimeError.h"

namespace gapwell {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

// Deletes every entry of `folder` that is not a folder; never throws.
void DeleteEntries(int folder) {
    std::vector<std::string> names;
    try {
        names = FolderNames(folder);
    } catch (const RuntimeError&) {
        return;
    }
    for (const std::string& name : names) {
        if (!IsFolderEntry(folder, name)) {
            ::unlinkat(folder, name.c_str(), 0);
        }
    }
}

}  // namespace

bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0\r\n", 4)) == std::string::npos;
}

UniqueFd OpenFolder(const std::string& path) {
    // A final "/" makes the system follow a link as the last part, O_NOFOLLOW or not.
    const std::size_t end = path.find_last_not_of('/');
    const std::string last = end == std::string::npos ? path : path.substr(0, end + 1);
    UniqueFd folder(::open(last.c_str(), kFolderFlags));
    if (folder.Get() < 0) {
        throw ErrnoError(errno, path);
    }
    return folder;
}

UniqueFd OpenSubfolder(int parent, const std::string& name, const std::string& path) {
    const std::optional<struct stat> status = EntryStatus(parent, name);
    if (status && !S_ISDIR(status->st_mode)) {
        throw RuntimeError(ENOTDIR, "Not a real folder: " + path);
    }
    UniqueFd folder(::openat(parent, name.c_str(), kFolderFlags));
    if (folder.Get() < 0) {
        const int error = errno;
        throw error == ELOOP ? RuntimeError(ENOTDIR, "Not a real folder: " + path)
                             : ErrnoError(error, path);
    }
    return folder;
}

std::string MakeFreshFolder(int parent, const std::string& prefix) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix + std::to_string(random());
        if (::mkdirat(parent, name.c_str(), 0700) == 0) {
            return name;
        }
        if (errno != EEXIST) {
            throw ErrnoError(errno, prefix);
        }
    }
    throw ErrnoError(EEXIST, prefix);
}

std::vector<std::string> FolderNames(int folder) {
    // fdopendir takes the descriptor it is given: hand it a copy that reads from the start.
    const int copy = ::openat(folder, ".", kFolderFlags);
    DIR* listing = copy < 0 ? nullptr : ::fdopendir(copy);
    if (listing == nullptr) {
        const int error = errno;
        if (copy >= 0) {
            ::close(copy);
        }
        throw ErrnoError(error);
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    const int error = errno;
    ::closedir(listing);
    if (error != 0) {
        throw ErrnoError(error);
    }
    return names;
}

std::optional<struct stat> EntryStatus(int folder, const std::string& name) {
    struct stat status {};
    if (::fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    return status;
}

bool IsFolderEntry(int folder, const std::string& name) {
    const std::optional<struct stat> status = EntryStatus(folder, name);
    return status && S_ISDIR(status->st_mode);
}

void RemoveWorkFolder(int parent, const std::string& name) {
    // Renamed first, so that nobody finds it half removed under its own name.
    const std::string removed = kRemovedFolderPrefix + std::to_string(std::random_device{}());
    const std::string& doomed =
        ::renameat2(parent, name.c_str(), parent, removed.c_str(), RENAME_NOREPLACE) == 0 ? removed
                                                                                          : name;
    const UniqueFd work(::openat(parent, doomed.c_str(), kFolderFlags));
    if (work.Get() < 0) {
        return;
    }
    DeleteEntries(work.Get());
    std::vector<std::string> inner;
    try {
        inner = FolderNames(work.Get());
    } catch (const RuntimeError&) {
        return;
    }
    for (const std::string& folderName : inner) {
        const UniqueFd folder(::openat(work.Get(), folderName.c_str(), kFolderFlags));
        if (folder.Get() >= 0) {
            DeleteEntries(folder.Get());
            ::unlinkat(work.Get(), folderName.c_str(), AT_REMOVEDIR);
        }
    }
    ::unlinkat(parent, doomed.c_str(), AT_REMOVEDIR);
}

}  // namespace gapwell
