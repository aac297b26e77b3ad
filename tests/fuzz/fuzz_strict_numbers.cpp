// The strict number readers on any text: a text is refused with BadNumber, or its value lies in
// the range asked for and, written back, gives the text without its leading zeros.
#include <cstdlib>
#include <string>

#include "cli/StrictNumbers.h"
#include "search/Numbers.h"

namespace {

struct Range {
    std::int64_t min;
    std::int64_t max;
};

constexpr Range kRanges[] = {{0, 0xFF}, {1, 0x7FFFFFFF}, {0, 0x7FFFFFFF}, {1, 1 << 30}};

std::string Significant(std::string text, bool hex) {
    const std::size_t first = text.find_first_not_of('0');
    text = first == std::string::npos ? "0" : text.substr(first);
    if (hex) {
        for (char& c : text) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool hex = (data[0] & 0x80) != 0;
    const Range range = kRanges[data[0] % std::size(kRanges)];
    const std::size_t maxDigits = 1 + (data[0] >> 2) % 8;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        const std::int64_t value =
            hex ? gapwell::cli::ParseHex("--x", text, maxDigits, range.min, range.max)
                : gapwell::cli::ParseDecimal("--x", text, range.min, range.max);
        const std::string written =
            hex ? gapwell::ToHex(static_cast<std::uint64_t>(value)) : std::to_string(value);
        if (value < range.min || value > range.max || written != Significant(text, hex)) {
            std::abort();
        }
    } catch (const gapwell::cli::BadNumber&) {
    }
    return 0;
}
