#include "services/LogFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "base/PosixFile.h"

namespace gapwell {

namespace {

// Writing a record takes microseconds; a process that holds the log for longer is stuck or
// hostile (anyone who can open the log for reading can lock it), and the report must not hang.
constexpr std::chrono::seconds kLockWait{2};
constexpr std::chrono::milliseconds kLockPoll{5};

bool LockWithin(int fd, std::chrono::steady_clock::duration limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(kLockPoll);
    }
    return true;
}

// True when the file's last byte is not a line break: a writer was killed in the middle of a
// record.
bool EndsInsideALine(int fd, off_t size) {
    char last = '\n';
    return size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n';
}

// Appends under the lock, which closing `fd` releases.
void AppendLocked(int fd, std::string_view line) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !LockWithin(fd, kLockWait) ||
        ::fstat(fd, &info) != 0) {
        return;
    }
    const std::string text =
        EndsInsideALine(fd, info.st_size) ? "\n" + std::string(line) : std::string(line);
    if (!WriteAll(fd, text)) {
        // A full disk took part of the record: remove it, so that the file ends on a whole
        // record as before. Should that fail too, nothing more can be done.
        [[maybe_unused]] const int removed = ::ftruncate(fd, info.st_size);
    }
}

}  // namespace

void AppendLogLine(const std::string& path, std::string_view line) {
    // Opened for reading too, for the look at the last byte; without waiting, should the name
    // be a FIFO or a device (those are left alone).
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) {
        return;
    }
    AppendLocked(fd, line);
    ::close(fd);
}

}  // namespace gapwell
