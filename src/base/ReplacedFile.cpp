#include "base/ReplacedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"

namespace gapwell {

namespace {

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

void ReplaceFile(const std::string& path, std::string_view content, mode_t mode) {
    std::error_code created;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), created);
    if (created) {
        throw ErrnoError(created.value(), path);
    }
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        throw ErrnoError(errno, path);
    }
    // fchmod, unlike the mode given at creation, does not go through the umask.
    bool done = ::fchmod(fd, mode) == 0 && WriteAll(fd, content) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && done) {
        done = false;
        error = errno;
    }
    if (done && std::rename(temporary.c_str(), path.c_str()) != 0) {
        done = false;
        error = errno;
    }
    if (!done) {
        ::unlink(temporary.c_str());
        throw ErrnoError(error == 0 ? EIO : error, path);
    }
    SyncFolderOf(path);
}

}  // namespace gapwell
