#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace gapwell::test {

// A fresh temporary folder for one test, removed with everything in it afterwards.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Writes `bytes` to a file named `name` in the folder and returns its full path.
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

  private:
    std::filesystem::path path_;
};

// The whole content of a file, empty when it cannot be read.
std::string ReadText(const std::filesystem::path& file);
// Replaces the content of `file` (created when missing) with `text`.
void WriteText(const std::filesystem::path& file, const std::string& text);

// `size` bytes of `fill`, with `runLength` bytes of `runByte` from `runOffset`.
std::vector<std::uint8_t> BytesWithRun(std::size_t size, std::uint8_t fill, std::size_t runOffset,
                                       std::size_t runLength, std::uint8_t runByte);
// Writes `value` as a 4-byte little-endian word at `at` (a pointer, when it is one).
void PutWord(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value);

}  // namespace gapwell::test
