#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// POSIX file plumbing shared by the layers above: a descriptor that closes itself, writing a
// text whole, creating a new file whole, reading a small regular file whole, and the
// environment.
namespace gapwell {

// A descriptor, closed when it goes out of scope.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    int Release();
    void Reset();

  private:
    int fd_ = -1;
};

// One call of a write function that behaves like ::write on one open file: it writes up to
// `size` bytes and returns how many, or returns -1 and sets errno.
using WriteCall = std::function<ssize_t(const char* data, std::size_t size)>;

// Writes all of `data` through `write`, calling it again after a short write or an interrupted
// call. Returns false when a call fails otherwise or writes nothing; the bytes written until
// then stay written.
bool WriteAll(std::string_view data, const WriteCall& write);

// The same on a file descriptor.
bool WriteAll(int fd, std::string_view data);

// Creates `name` in the open folder `folder` (AT_FDCWD: `name` is a path) as a new file with
// permissions `mode` (less the umask) and writes all of `data` to it. An existing name, a link
// included, is never followed, replaced or reused. The write and the close are both checked;
// on any failure the file created is removed and RuntimeError thrown with the errno and `name`
// (EIO for a write that took no byte and set no error).
void WriteNewFile(int folder, const std::string& name, std::string_view data, mode_t mode);

// Why the open file `fd` is not a regular file to be read within `maxBytes`; 0 when it is one.
// The errno of a failed fstat, EISDIR for a folder, EINVAL for another file that is not regular
// (`type`, when given, receives its mode), EFBIG for a regular file whose size is over the limit.
int RegularFileRefusal(int fd, std::int64_t maxBytes, mode_t* type = nullptr);

// Whether a reader goes through a link that `path` itself names. Files in the program's own
// folders are never read through one (a link planted there could point anywhere); a path the
// user typed is read as the user named it.
enum class LinkRule { Refuse, Follow };

// The regular file at `path` whole, never a FIFO or device that would block; nullopt when it
// cannot be opened or read, is a link that `links` refuses, is no regular file or holds more
// than `maxBytes`. A file whose reported size is over the limit is refused unread; otherwise at
// most one byte more than `maxBytes` is read. When `error` is given, a failure stores why: the
// errno of the failed call (ELOOP for a refused link), EISDIR for a folder, EINVAL for another
// file that is not regular, EFBIG for one over the limit.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::int64_t maxBytes, int* error = nullptr,
                                                       LinkRule links = LinkRule::Refuse);

// The value of an environment variable; empty when it is not set.
std::string EnvironmentValue(const char* name);

}  // namespace gapwell
