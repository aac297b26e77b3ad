#include "update/AutomaticCheck.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"
#include "platform/Platform.h"
#include "services/modMisc.h"
#include "update/UpdatePaths.h"

namespace gapwell {

namespace {

// Opens `path` with `flags` (a file it creates gets mode 0644), never waiting for the other end
// of a FIFO planted there. Throws RuntimeError.
UniqueFd OpenOrThrow(const std::string& path, int flags) {
    UniqueFd file(::open(path.c_str(), flags | O_NONBLOCK, 0644));
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
    const UniqueFd file = OpenOrThrow(path, O_RDONLY | O_CLOEXEC);
    unsigned char byte = 0;
    if (::pread(file.Get(), &byte, 1, 0) < 0) {
        throw ErrnoError(errno, path);
    }
    return byte != 0;
}

void WriteAutomaticCheck(const std::string& path, bool on) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (error) {
        throw ErrnoError(error.value(), path);
    }
    const UniqueFd file = OpenOrThrow(path, O_WRONLY | O_CREAT | O_CLOEXEC);
    const unsigned char byte = on ? 1 : 0;
    if (::pwrite(file.Get(), &byte, 1, 0) != 1) {
        throw ErrnoError(errno == 0 ? EIO : errno, path);
    }
}

}  // namespace gapwell
