#include "search/ReadOnlyFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/RuntimeError.h"

namespace gapwell {

ReadOnlyFile::ReadOnlyFile(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        throw ErrnoError(errno, path);
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        ::close(fd_);
        throw ErrnoError(error, path);
    }
    // The search reads front to back; let the kernel read ahead generously.
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

ReadOnlyFile::~ReadOnlyFile() {
    ::close(fd_);
}

std::int64_t ReadOnlyFile::Length() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        throw ErrnoError(errno, path_);
    }
    return info.st_size;
}

std::size_t ReadOnlyFile::ReadAt(std::int64_t offset, std::uint8_t* buffer,
                                 std::size_t size) const {
    if (offset < 0) {
        throw ErrnoError(EINVAL, path_);
    }
    std::size_t total = 0;
    while (total < size) {
        const ssize_t got = ::pread(fd_, buffer + total, size - total,
                                    static_cast<off_t>(offset) + static_cast<off_t>(total));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw ErrnoError(errno, path_);
        }
        if (got == 0) {
            break;
        }
        total += static_cast<std::size_t>(got);
    }
    return total;
}

}  // namespace gapwell
