#include "update/SkippedVersion.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/PosixFile.h"
#include "platform/Platform.h"
#include "update/UpdatePaths.h"
#include "update/VersionFile.h"

namespace gapwell {

namespace {

// Longer records are not versions this program writes.
constexpr std::size_t kMaxRecordBytes = 64;

bool IsVersionText(std::string_view text) {
    return !text.empty() && text.find_first_of("0123456789") != std::string_view::npos &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

// Reads at most kMaxRecordBytes + 1 bytes of an open regular file; "" when it is longer or
// cannot be read.
std::string ReadRecord(int fd) {
    std::array<char, kMaxRecordBytes + 1> buffer{};
    std::size_t filled = 0;
    while (filled < buffer.size()) {
        const ssize_t got = ::read(fd, buffer.data() + filled, buffer.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return {};
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    return filled > kMaxRecordBytes ? std::string() : std::string(buffer.data(), filled);
}

}  // namespace

std::string SkippedVersionFile() {
    return AddBackslash(CurrentPlatform().Locations().configFolder) + "skipversion.dat";
}

std::string ReadSkippedVersion(const std::string& path) {
    // O_NONBLOCK: a FIFO planted there must not hold the start-up check.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    struct stat status {};
    std::string record;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        record = ReadRecord(fd);
    }
    ::close(fd);
    if (!record.empty() && record.back() == '\n') {
        record.pop_back();
    }
    return IsVersionText(record) ? record : std::string();
}

bool WriteSkippedVersion(const std::string& path, std::string_view version) {
    if (!IsVersionText(version)) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    // Written beside the record under a fresh name, then renamed over it: whatever is planted
    // under the record's name is replaced, not written through.
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool written = ::fchmod(fd, 0644) == 0 && WriteAll(fd, std::string(version) + "\n");
    const bool closed = ::close(fd) == 0;
    if (written && closed && std::rename(temporary.c_str(), path.c_str()) == 0) {
        return true;
    }
    ::unlink(temporary.c_str());
    return false;
}

bool IsSkippedVersion(std::string_view skipped, std::string_view offered) {
    return !skipped.empty() && !IsNewerVersion(skipped, offered) &&
           !IsNewerVersion(offered, skipped);
}

}  // namespace gapwell
