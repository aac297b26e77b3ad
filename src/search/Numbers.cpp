#include "search/Numbers.h"

#include <limits>

namespace gapwell {

namespace {

int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    }
    return value < base ? value : -1;
}

std::int64_t ReadLeading(std::string_view text, int base) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (char c : text) {
        const int digit = DigitValue(c, base);
        if (digit < 0) {
            break;
        }
        if (value > (kMax - digit) / base) {
            return kMax;
        }
        value = value * base + digit;
    }
    return value;
}

}  // namespace

std::int64_t ReadDecimalLeading(std::string_view text) {
    return ReadLeading(text, 10);
}

std::int64_t ReadHexLeading(std::string_view text) {
    return ReadLeading(text, 16);
}

std::string ToHex(std::uint64_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value % 16]);
        value /= 16;
    } while (value != 0);
    return text;
}

}  // namespace gapwell
