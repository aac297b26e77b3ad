#include "MemoryFile.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>

namespace gapwell::fuzz {

MemoryFile::MemoryFile() : fd_(::memfd_create("gapwell-fuzz", MFD_CLOEXEC)) {
    if (fd_ < 0) {
        std::abort();
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
}

MemoryFile::~MemoryFile() {
    ::close(fd_);
}

void MemoryFile::Set(const std::uint8_t* data, std::size_t size) {
    if (::ftruncate(fd_, 0) != 0 ||
        (size > 0 && ::pwrite(fd_, data, size, 0) != static_cast<ssize_t>(size))) {
        std::abort();
    }
}

}  // namespace gapwell::fuzz
