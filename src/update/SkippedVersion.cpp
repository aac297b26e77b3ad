#include "update/SkippedVersion.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

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

}  // namespace

std::string SkippedVersionFile() {
    return AddBackslash(CurrentPlatform().Locations().configFolder) + kSkippedVersionName;
}

std::string ReadSkippedVersion(const std::string& path) {
    // Never through a link, never waiting on a FIFO planted there: the start-up check goes on.
    const std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(path, kMaxRecordBytes);
    if (!bytes) {
        return {};
    }
    std::string record(bytes->begin(), bytes->end());
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
