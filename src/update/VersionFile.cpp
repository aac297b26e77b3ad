#include "update/VersionFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>

#include "base/RuntimeError.h"
#include "update/VersionLine.h"

namespace gapwell {

namespace {

std::string ReadWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        throw ErrnoError(errno, path);
    }
    std::string content;
    char buffer[8192];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) != 0) {
        if (got < 0 && errno != EINTR) {
            const int readError = errno;
            ::close(fd);
            throw ErrnoError(readError, path);
        }
        content.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    }
    ::close(fd);
    return content;
}

}  // namespace

std::string TakeVersionFileLine(const std::string& path) {
    std::string content;
    std::exception_ptr readFailure;
    try {
        content = ReadWholeFile(path);
    } catch (const RuntimeError&) {
        readFailure = std::current_exception();
    }
    if (::unlink(path.c_str()) != 0 && errno != ENOENT && !readFailure) {
        throw ErrnoError(errno, path);
    }
    if (readFailure) {
        std::rethrow_exception(readFailure);
    }
    return FirstLine(content);
}

}  // namespace gapwell
