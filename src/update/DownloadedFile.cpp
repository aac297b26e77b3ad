#include "update/DownloadedFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/RuntimeError.h"
#include "services/ErrorScope.h"

namespace gapwell {

namespace {

// A file descriptor that is closed when it goes out of scope; Close reports the failure.
// When creating the file failed (and the report was ignored) writing and closing do nothing:
// that failure has been reported once already.
class FileDescriptor {
  public:
    FileDescriptor() = default;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    void Create(const std::string& path) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            throw ErrnoError(errno, path);
        }
    }

    // Writes all bytes; a short write goes on with the rest.
    void WriteAll(const char* data, std::size_t size) const {
        while (fd_ >= 0 && size > 0) {
            const ssize_t written = ::write(fd_, data, size);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                throw ErrnoError(written < 0 ? errno : EIO);
            }
            data += written;
            size -= static_cast<std::size_t>(written);
        }
    }

    void Close() {
        if (fd_ < 0) {
            return;
        }
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            throw ErrnoError(errno);
        }
    }

  private:
    int fd_ = -1;
};

}  // namespace

bool WriteDownloadedFile(const std::string& fileName, const char* data, std::size_t size) {
    ErrorScope scope("DownloadFile", "clsDownload");
    FileDescriptor file;
    // A missing file is the normal case; any other obstacle shows up when creating the file.
    ::unlink(fileName.c_str());
    scope.Step([&] { file.Create(fileName); });
    scope.Step([&] { file.WriteAll(data, size); });
    scope.Step([&] { file.Close(); });
    return !scope.Aborted();
}

}  // namespace gapwell
