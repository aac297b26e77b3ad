#pragma once

#include <cstdint>
#include <string_view>

namespace gapwell {

// The CRC-32 of `bytes` that BPS and UPS patches carry (the one of zip and PNG: polynomial
// 0xEDB88320 reflected, starting from and finished with all bits set).
std::uint32_t Crc32(std::string_view bytes);

}  // namespace gapwell
