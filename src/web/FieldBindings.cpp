// How the page reads its number fields, for the page through embind. Blanks around a text do not
// count; a hexadecimal field also takes the marks people paste with it ("0x2000", "$2000",
// "2000h"), and an offset field takes a GBA ROM address (08000000 to 09FFFFFF, the cartridge's
// 32 MiB as the processor sees them) as the ROM offset it stands for. Anything else is refused:
// the page then shows a note beside the field and sends nothing to the core.
#include <emscripten/bind.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>

#include "search/Numbers.h"
#include "search/WordSieve.h"

namespace gapwell::web {

namespace {

using emscripten::val;

// More significant digits than this cannot be a value a field takes.
constexpr std::size_t kLongestDigits = 16;

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The digits of a hexadecimal text without one of its marks: a "0x" or "$" before, an "h" after.
std::string_view WithoutHexMark(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return text.substr(2);
    }
    if (text.size() > 1 && text.front() == '$') {
        return text.substr(1);
    }
    if (text.size() > 1 && (text.back() == 'h' || text.back() == 'H')) {
        return text.substr(0, text.size() - 1);
    }
    return text;
}

bool AllDigits(std::string_view digits, bool hex) {
    const bool digitsOnly =
        !digits.empty() && std::all_of(digits.begin(), digits.end(), [hex](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return hex ? std::isxdigit(byte) != 0 : std::isdigit(byte) != 0;
        });
    // Leading zeros do not count against the length: "0002000" is 2000.
    const std::size_t firstSignificant = std::min(digits.size(), digits.find_first_not_of('0'));
    return digitsOnly && digits.size() - firstSignificant <= kLongestDigits;
}

val Accepted(std::int64_t value) {
    val reading = val::object();
    reading.set("value", static_cast<double>(value));
    return reading;
}

val Refused() {
    val reading = val::object();
    reading.set("refused", true);
    return reading;
}

// {value} for a hexadecimal text from 0 to `max`, {value, address} for a GBA ROM address read as
// the offset `value` (with `takesAddress`); {refused: true} for anything else.
val ReadHexField(const std::string& text, double max, bool takesAddress) {
    const std::string_view digits = WithoutHexMark(Trimmed(text));
    if (!AllDigits(digits, true)) {
        return Refused();
    }
    const std::int64_t value = ReadHexLeading(digits);
    if (takesAddress && value >= kRomBases[0] && value < kRomBases[1]) {
        val reading = Accepted(value - kRomBases[0]);
        reading.set("address", static_cast<double>(value));
        return reading;
    }
    return value <= static_cast<std::int64_t>(max) ? Accepted(value) : Refused();
}

// {value} for a decimal text from `min` to `max`; {refused: true} for anything else.
val ReadDecimalField(const std::string& text, double min, double max) {
    const std::string_view digits = Trimmed(text);
    if (!AllDigits(digits, false)) {
        return Refused();
    }
    const std::int64_t value = ReadDecimalLeading(digits);
    return value >= static_cast<std::int64_t>(min) && value <= static_cast<std::int64_t>(max)
               ? Accepted(value)
               : Refused();
}

}  // namespace

EMSCRIPTEN_BINDINGS(gapwell_fields) {
    emscripten::function("readHexField", &ReadHexField);
    emscripten::function("readDecimalField", &ReadDecimalField);
}

}  // namespace gapwell::web
