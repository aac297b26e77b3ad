#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace gapwell::test {

// The whole content of a file; empty when it cannot be read.
inline std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace gapwell::test
