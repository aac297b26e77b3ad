#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace gapwell::fuzz {

// A regular file in memory (memfd) that the code under test opens by path like any ROM.
class MemoryFile {
  public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Replaces the contents with `size` bytes from `data`; aborts when that fails.
    void Set(const std::uint8_t* data, std::size_t size);
    const std::string& Path() const { return path_; }

  private:
    int fd_;
    std::string path_;
};

}  // namespace gapwell::fuzz
