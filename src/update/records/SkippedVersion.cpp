#include "update/records/SkippedVersion.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/PosixFile.h"
#include "base/ReplacedFile.h"
#include "base/RuntimeError.h"
#include "platform/Platform.h"
#include "update/files/UpdatePaths.h"
#include "update/records/VersionFile.h"

namespace gapwell {

namespace {

// The record: the version and a line break.
constexpr std::int64_t kMaxRecordBytes = kMaxSkippedVersionBytes + 1;

bool IsVersionText(std::string_view text) {
    return !text.empty() && text.size() <= kMaxSkippedVersionBytes &&
           text.find_first_of("0123456789") != std::string_view::npos &&
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
    try {
        ReplaceFileContent(path, std::string(version) + "\n", 0644);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

bool IsSkippedVersion(std::string_view skipped, std::string_view offered) {
    return !skipped.empty() && !IsNewerVersion(skipped, offered) &&
           !IsNewerVersion(offered, skipped);
}

}  // namespace gapwell
