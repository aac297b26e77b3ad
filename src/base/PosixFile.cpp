#include "base/PosixFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <utility>

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

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::int64_t maxBytes) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    struct stat status {};
    bool complete = ::fstat(fd.Get(), &status) == 0 && S_ISREG(status.st_mode);
    std::array<std::uint8_t, 65536> piece{};
    while (complete) {
        const ssize_t got = ::read(fd.Get(), piece.data(), piece.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            complete = got == 0;
            break;
        }
        bytes.insert(bytes.end(), piece.begin(), piece.begin() + got);
        complete = static_cast<std::int64_t>(bytes.size()) <= maxBytes;
    }
    return complete ? std::optional(std::move(bytes)) : std::nullopt;
}

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace gapwell
