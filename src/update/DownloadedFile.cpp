#include "update/DownloadedFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"
#include "services/ErrorScope.h"

namespace gapwell {

namespace {

// The downloaded file while it is written; Close reports the failure. Once a step has failed
// for good, the steps after it are not run.
class DownloadTarget {
  public:
    DownloadTarget(int folder, const std::string& name) : folder_(folder), name_(name) {}
    DownloadTarget(const DownloadTarget&) = delete;
    DownloadTarget& operator=(const DownloadTarget&) = delete;
    // A file that was not written whole does not stay.
    ~DownloadTarget() {
        if (created_ && !closed_) {
            ::unlinkat(folder_, name_.c_str(), 0);
        }
    }

    void Create() {
        file_ = UniqueFd(::openat(folder_, name_.c_str(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file_.Get() < 0) {
            throw ErrnoError(errno, name_);
        }
        created_ = true;
    }

    // Writes all bytes; a short write goes on with the rest.
    void Write(const char* data, std::size_t size) const {
        errno = 0;  // a write that takes no byte sets no error: it is reported as EIO
        if (!WriteAll(file_.Get(), std::string_view(data, size))) {
            throw ErrnoError(errno != 0 ? errno : EIO, name_);
        }
    }

    void Close() {
        if (::close(file_.Release()) != 0) {
            throw ErrnoError(errno, name_);
        }
        closed_ = true;
    }

    bool Closed() const { return closed_; }

  private:
    int folder_;
    std::string name_;
    UniqueFd file_;
    bool created_ = false;
    bool closed_ = false;
};

}  // namespace

WriteOutcome WriteDownloadedFile(int folder, const std::string& name, const char* data,
                                 std::size_t size) {
    ErrorScope scope("DownloadFile", "clsDownload");
    DownloadTarget file(folder, name);
    // A missing file is the normal case; any other obstacle shows up when creating the file.
    ::unlinkat(folder, name.c_str(), 0);
    bool created = false;
    scope.Step([&] {
        file.Create();
        created = true;
    });
    bool written = false;
    if (created) {
        scope.Step([&] {
            file.Write(data, size);
            written = true;
        });
    }
    if (written) {
        scope.Step([&] { file.Close(); });
    }
    if (scope.Aborted()) {
        return WriteOutcome::kAborted;
    }
    return file.Closed() ? WriteOutcome::kWritten : WriteOutcome::kGivenUp;
}

}  // namespace gapwell
