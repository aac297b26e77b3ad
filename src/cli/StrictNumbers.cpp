#include "cli/StrictNumbers.h"

#include <cctype>
#include <string_view>

#include "search/Numbers.h"

namespace gapwell::cli {

namespace {

std::int64_t ParseChecked(const std::string& option, const std::string& text, bool hex,
                          std::size_t maxDigits, std::int64_t min, std::int64_t max) {
    const auto isDigit = [hex](unsigned char c) {
        return hex ? std::isxdigit(c) != 0 : std::isdigit(c) != 0;
    };
    bool valid = !text.empty();
    for (const char c : text) {
        valid = valid && isDigit(static_cast<unsigned char>(c));
    }
    // Leading zeros do not count against the digit limit: the range is decided by the value.
    const std::size_t firstNonZero = text.find_first_not_of('0');
    const std::string_view significant = firstNonZero == std::string::npos
                                             ? std::string_view{}
                                             : std::string_view{text}.substr(firstNonZero);
    valid = valid && significant.size() <= maxDigits;
    const std::int64_t value =
        valid ? (hex ? ReadHexLeading(significant) : ReadDecimalLeading(significant)) : 0;
    if (!valid || value < min || value > max) {
        throw BadNumber{"bad number for " + option + ": \"" + text + "\" (expected " +
                        (hex ? "hexadecimal " + ToHex(static_cast<std::uint64_t>(min)) + " to " +
                                   ToHex(static_cast<std::uint64_t>(max))
                             : "decimal " + std::to_string(min) + " to " + std::to_string(max)) +
                        ")"};
    }
    return value;
}

}  // namespace

std::int64_t ParseDecimal(const std::string& option, const std::string& text, std::int64_t min,
                          std::int64_t max) {
    // 19 digits keep every accepted text inside 64 bits; longer texts are out of range anyway.
    return ParseChecked(option, text, false, 19, min, max);
}

std::int64_t ParseHex(const std::string& option, const std::string& text, std::size_t maxDigits,
                      std::int64_t min, std::int64_t max) {
    return ParseChecked(option, text, true, maxDigits, min, max);
}

}  // namespace gapwell::cli
