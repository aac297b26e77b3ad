#include "update/DownloadedFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"
#include "services/ErrorScope.h"

namespace gapwell {

namespace {

// The downloaded file while it is written; Close reports the failure. When creating the file
// failed (and the report was ignored) writing and closing do nothing: that failure has been
// reported once already.
class DownloadTarget {
  public:
    void Create(const std::string& path) {
        file_ = UniqueFd(
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (file_.Get() < 0) {
            throw ErrnoError(errno, path);
        }
    }

    // Writes all bytes; a short write goes on with the rest.
    void Write(const char* data, std::size_t size) const {
        errno = 0;  // a write that takes no byte sets no error: it is reported as EIO
        if (file_.Get() >= 0 && !WriteAll(file_.Get(), std::string_view(data, size))) {
            throw ErrnoError(errno != 0 ? errno : EIO);
        }
    }

    void Close() {
        const int fd = file_.Release();
        if (fd >= 0 && ::close(fd) != 0) {
            throw ErrnoError(errno);
        }
    }

  private:
    UniqueFd file_;
};

}  // namespace

bool WriteDownloadedFile(const std::string& fileName, const char* data, std::size_t size) {
    ErrorScope scope("DownloadFile", "clsDownload");
    DownloadTarget file;
    // A missing file is the normal case; any other obstacle shows up when creating the file.
    ::unlink(fileName.c_str());
    scope.Step([&] { file.Create(fileName); });
    scope.Step([&] { file.Write(data, size); });
    scope.Step([&] { file.Close(); });
    return !scope.Aborted();
}

}  // namespace gapwell
