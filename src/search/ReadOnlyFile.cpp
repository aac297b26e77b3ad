#include "search/ReadOnlyFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "base/RuntimeError.h"

namespace gapwell {

namespace {

// What a file that is not a regular file is, for the message that refuses it.
const char* KindOf(mode_t mode) {
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISCHR(mode)) {
        return "a character device";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "of an unknown kind";
}

}  // namespace

ReadOnlyFile::ReadOnlyFile(const std::string& path)
    // Without O_NONBLOCK, opening a FIFO waits for a writer, possibly for ever. The flag changes
    // nothing for the regular files accepted below.
    : path_(path), fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
    if (fd_.Get() < 0) {
        throw ErrnoError(errno, path);
    }
    // Only regular files have a length and an end: a FIFO or a device such as /dev/zero
    // could be read for ever.
    mode_t type = 0;
    const int refusal =
        RegularFileRefusal(fd_.Get(), std::numeric_limits<std::int64_t>::max(), &type);
    if (refusal == EINVAL) {
        throw RuntimeError(EINVAL,
                           std::string("Not a regular file (it is ") + KindOf(type) + "): " + path);
    }
    if (refusal != 0) {
        throw ErrnoError(refusal, path);
    }
    // The search reads front to back; let the kernel read ahead generously.
    ::posix_fadvise(fd_.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
}

ReadOnlyFile::~ReadOnlyFile() = default;

std::int64_t ReadOnlyFile::Length() const {
    struct stat info {};
    if (::fstat(fd_.Get(), &info) != 0) {
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
        const ssize_t got = ::pread(fd_.Get(), buffer + total, size - total,
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
