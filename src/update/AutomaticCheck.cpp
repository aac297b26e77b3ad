#include "update/AutomaticCheck.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "base/RuntimeError.h"
#include "platform/Platform.h"
#include "services/modMisc.h"
#include "update/UpdatePaths.h"

namespace gapwell {

namespace {

// Closes a file descriptor when it goes out of scope.
class OpenFile {
  public:
    OpenFile(const std::string& path, int flags) : fd_(::open(path.c_str(), flags, 0644)) {
        if (fd_ < 0) {
            throw ErrnoError(errno, path);
        }
    }
    ~OpenFile() { ::close(fd_); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int Descriptor() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

std::string AutomaticCheckFile() {
    return AddBackslash(CurrentPlatform().Locations().configFolder) + "autoupdate.dat";
}

bool ReadAutomaticCheck(const std::string& path) {
    if (!FileExists(path)) {
        return true;
    }
    const OpenFile file(path, O_RDONLY | O_CLOEXEC);
    unsigned char byte = 0;
    if (::pread(file.Descriptor(), &byte, 1, 0) < 0) {
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
    const OpenFile file(path, O_WRONLY | O_CREAT | O_CLOEXEC);
    const unsigned char byte = on ? 1 : 0;
    if (::pwrite(file.Descriptor(), &byte, 1, 0) != 1) {
        throw ErrnoError(errno == 0 ? EIO : errno, path);
    }
}

}  // namespace gapwell
