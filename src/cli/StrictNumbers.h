#pragma once

#include <cstdint>
#include <string>

namespace gapwell::cli {

// Strict readings of the command line's numbers: the whole text must be digits of the base and
// the value must lie in [min, max]; anything else throws BadNumber naming the option.
struct BadNumber {
    std::string message;
};

std::int64_t ParseDecimal(const std::string& option, const std::string& text, std::int64_t min,
                          std::int64_t max);
std::int64_t ParseHex(const std::string& option, const std::string& text, std::size_t maxDigits,
                      std::int64_t min, std::int64_t max);

}  // namespace gapwell::cli
