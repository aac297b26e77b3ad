#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace gapwell {

// A regular file opened for reading only (never created), closed when the object goes away.
// Anything else (a folder, a FIFO, a device) is refused.
// Failures throw RuntimeError with the errno value and the path.
class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(const std::string& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // The file's length in bytes at this moment.
    std::int64_t Length() const;
    // Reads up to `size` bytes from `offset`; fewer only at the end of the file.
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const;

  private:
    std::string path_;
    int fd_;
};

}  // namespace gapwell
