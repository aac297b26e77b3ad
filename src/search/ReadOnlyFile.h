#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#include "base/PosixFile.h"
#endif

namespace gapwell {

// A regular file opened for reading only (never created), closed when the object goes away.
// Anything else (a folder, a FIFO or pipe, a device) is refused.
// Failures throw RuntimeError with the system's error number (errno; on Windows the Win32 error
// code) and the path. The path is UTF-8 on Windows too.
// ReadOnlyFile.cpp holds the POSIX body, ReadOnlyFileWin32.cpp the Windows one and
// ReadOnlyFileWeb.cpp the browser's.
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
#ifdef _WIN32
    void* handle_;
#elif defined(__EMSCRIPTEN__)
    int fd_;  // the page's handle of the file
#else
    UniqueFd fd_;
#endif
};

}  // namespace gapwell
