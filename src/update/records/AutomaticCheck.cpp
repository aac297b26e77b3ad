#include "update/records/AutomaticCheck.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/PosixFile.h"
#include "base/ReplacedFile.h"
#include "base/RuntimeError.h"
#include "platform/Platform.h"
#include "services/modMisc.h"
#include "update/files/UpdatePaths.h"

namespace gapwell {

namespace {

// A setting file larger than this is no file the program wrote; only its first byte is kept.
constexpr std::int64_t kMaxKeptBytes = 4096;

// Opens `path` for reading, never waiting for the other end of a FIFO planted there. Throws
// RuntimeError.
UniqueFd OpenForReading(const std::string& path) {
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) {
        throw ErrnoError(errno, path);
    }
    return file;
}

}  // namespace

std::string AutomaticCheckFile() {
    return AddBackslash(CurrentPlatform().Locations().configFolder) + kAutomaticCheckName;
}

bool ReadAutomaticCheck(const std::string& path) {
    if (!FileExists(path)) {
        return true;
    }
    const UniqueFd file = OpenForReading(path);
    unsigned char byte = 0;
    if (::pread(file.Get(), &byte, 1, 0) < 0) {
        throw ErrnoError(errno, path);
    }
    return byte != 0;
}

void WriteAutomaticCheck(const std::string& path, bool on) {
    // The bytes after the first are kept from the file in place, when it is a regular file of
    // its own (never read through a link); the whole file is then replaced.
    const std::optional<std::vector<std::uint8_t>> old = ReadWholeFile(path, kMaxKeptBytes);
    std::string content = old && !old->empty() ? std::string(old->begin(), old->end()) : "_";
    content[0] = on ? '\1' : '\0';
    ReplaceFileContent(path, content, 0644);
}

}  // namespace gapwell
