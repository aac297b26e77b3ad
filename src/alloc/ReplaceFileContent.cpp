#include "alloc/ReplaceFileContent.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"

namespace gapwell {

namespace {

// Tries this many names for the new file before giving up.
constexpr int kNewFileNames = 100;

}  // namespace

void ReplaceFileContent(const std::string& path, const std::string& text) {
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    std::string newPath;
    UniqueFd fd;
    for (int attempt = 0; attempt < kNewFileNames && fd.Get() < 0; ++attempt) {
        newPath = path + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = UniqueFd(
            ::open(newPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (fd.Get() < 0 && errno != EEXIST) {
            throw ErrnoError(errno, newPath);
        }
    }
    if (fd.Get() < 0) {
        throw ErrnoError(EEXIST, newPath);
    }
    const bool written = (!exists || ::fchmod(fd.Get(), existing.st_mode & 07777) == 0) &&
                         WriteAll(fd.Get(), text) && ::fsync(fd.Get()) == 0;
    int error = errno;
    if (written) {
        error =
            ::close(fd.Release()) == 0 && ::rename(newPath.c_str(), path.c_str()) == 0 ? 0 : errno;
    }
    if (!written || error != 0) {
        fd.Reset();
        ::unlink(newPath.c_str());
        throw ErrnoError(error != 0 ? error : EIO, path);
    }
}

}  // namespace gapwell
