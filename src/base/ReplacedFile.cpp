#include "base/ReplacedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"

namespace gapwell {

namespace {

// Tries this many names for the new file before giving up.
constexpr int kNewFileNames = 100;

// The permissions the new file is given after its creation, if any: `mode`, else those of the
// regular file at `path` (lstat: a planted link lends nothing; the set-id bits never carry over).
std::optional<mode_t> FinalMode(const std::string& path, std::optional<unsigned> mode) {
    if (mode) {
        return static_cast<mode_t>(*mode);
    }
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        return existing.st_mode & 0777;
    }
    return std::nullopt;
}

// Creates a new file beside `path`, never opening one that exists or a link; stores its name.
UniqueFd CreateNewFile(const std::string& path, mode_t creationMode, std::string& newPath) {
    for (int attempt = 0; attempt < kNewFileNames; ++attempt) {
        newPath = path + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        UniqueFd fd(::open(newPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                           creationMode));
        if (fd.Get() >= 0) {
            return fd;
        }
        if (errno != EEXIST) {
            throw ErrnoError(errno, newPath);
        }
    }
    throw ErrnoError(EEXIST, newPath);
}

// Syncs the folder that holds `path`, so that the rename survives a power cut; best effort.
void SyncFolderOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const UniqueFd folder(
        ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) {
        ::fsync(folder.Get());
    }
}

}  // namespace

void CreateParentFolders(const std::string& path) {
    // A bare name has no parent to create (create_directories refuses an empty path).
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code created;
    if (!parent.empty()) {
        std::filesystem::create_directories(parent, created);
    }
    if (created) {
        throw ErrnoError(created.value(), path);
    }
}

void ReplaceFileContent(const std::string& path, std::string_view content,
                        std::optional<unsigned> mode) {
    CreateParentFolders(path);
    const std::optional<mode_t> finalMode = FinalMode(path, mode);
    // A file that gets its mode afterwards is private until then; fchmod skips the umask.
    std::string newPath;
    UniqueFd fd = CreateNewFile(path, finalMode ? 0600 : 0666, newPath);
    bool done = (!finalMode || ::fchmod(fd.Get(), *finalMode) == 0) &&
                WriteAll(fd.Get(), content) && ::fsync(fd.Get()) == 0;
    int error = errno;
    if (::close(fd.Release()) != 0 && done) {
        done = false;
        error = errno;
    }
    if (done && std::rename(newPath.c_str(), path.c_str()) != 0) {
        done = false;
        error = errno;
    }
    if (!done) {
        ::unlink(newPath.c_str());
        throw ErrnoError(error == 0 ? EIO : error, path);
    }
    SyncFolderOf(path);
}

}  // namespace gapwell
