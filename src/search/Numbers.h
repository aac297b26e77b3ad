#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace gapwell {

// Lenient readings of a field's text: the number formed by its leading digits of the base,
// 0 when there are none (an empty text reads as 0). Values too large for 64 bits saturate.
std::int64_t ReadDecimalLeading(std::string_view text);
std::int64_t ReadHexLeading(std::string_view text);

// Upper-case hexadecimal without prefix and without leading zeros ("0" for zero).
std::string ToHex(std::uint64_t value);

}  // namespace gapwell
