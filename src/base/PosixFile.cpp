#include "base/PosixFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <utility>

#include "base/RuntimeError.h"

namespace gapwell {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        Reset();
        fd_ = other.Release();
    }
    return *this;
}

int UniqueFd::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void UniqueFd::Reset() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool WriteAll(std::string_view data, const WriteCall& write) {
    while (!data.empty()) {
        const ssize_t written = write(data.data(), data.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool WriteAll(int fd, std::string_view data) {
    return WriteAll(data,
                    [fd](const char* bytes, std::size_t size) { return ::write(fd, bytes, size); });
}

void WriteNewFile(int folder, const std::string& name, std::string_view data, mode_t mode) {
    UniqueFd file(
        ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (file.Get() < 0) {
        throw ErrnoError(errno, name);
    }
    errno = 0;
    const bool written = WriteAll(file.Get(), data);
    int error = written ? 0 : (errno != 0 ? errno : EIO);
    if (::close(file.Release()) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlinkat(folder, name.c_str(), 0);
        throw ErrnoError(error, name);
    }
}

int RegularFileRefusal(int fd, std::int64_t maxBytes, mode_t* type) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return errno;
    }
    if (type != nullptr) {
        *type = status.st_mode;
    }
    if (S_ISDIR(status.st_mode)) {
        return EISDIR;
    }
    if (!S_ISREG(status.st_mode)) {
        return EINVAL;
    }
    return status.st_size > maxBytes ? EFBIG : 0;
}

namespace {

// Reads `fd` to its end, but never more than `maxBytes` + 1 bytes. The size stat reports is
// not trusted: files of /proc report 0 and still hold text, and a file may grow while it is
// read. Returns 0 or the errno of the failure (EFBIG when there is more than `maxBytes`).
int ReadToEnd(int fd, std::int64_t maxBytes, std::vector<std::uint8_t>& bytes) {
    std::array<std::uint8_t, 65536> piece{};
    const auto limit = static_cast<std::uint64_t>(maxBytes) + 1;
    while (bytes.size() < limit) {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), limit - bytes.size()));
        const ssize_t got = ::read(fd, piece.data(), wanted);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return errno;
        }
        if (got == 0) {
            return 0;
        }
        bytes.insert(bytes.end(), piece.begin(), piece.begin() + got);
    }
    return EFBIG;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::int64_t maxBytes, int* error,
                                                       LinkRule links) {
    const int noFollow = links == LinkRule::Refuse ? O_NOFOLLOW : 0;
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | noFollow | O_NONBLOCK | O_CLOEXEC));
    int failure = fd.Get() < 0 ? errno : RegularFileRefusal(fd.Get(), maxBytes);
    std::vector<std::uint8_t> bytes;
    if (failure == 0) {
        failure = ReadToEnd(fd.Get(), maxBytes, bytes);
    }
    if (failure != 0) {
        if (error != nullptr) {
            *error = failure;
        }
        return std::nullopt;
    }
    return bytes;
}

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace gapwell
