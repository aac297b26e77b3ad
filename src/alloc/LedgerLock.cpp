#include "alloc/LedgerLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "base/ReplacedFile.h"
#include "base/RuntimeError.h"

namespace gapwell {

LedgerLock::LedgerLock(const std::string& ledgerPath) {
    const std::string path = LedgerLockPath(ledgerPath);
    CreateParentFolders(path);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        throw ErrnoError(errno, path);
    }
    int locked = 0;
    do {
        locked = ::flock(fd, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        ::close(fd);
        throw ErrnoError(error, path);
    }
    fd_ = fd;
}

LedgerLock::~LedgerLock() {
    // Closing the only descriptor of the file releases the lock.
    ::close(fd_);
}

}  // namespace gapwell
