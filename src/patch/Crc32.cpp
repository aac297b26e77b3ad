#include "patch/Crc32.h"

#include <array>

namespace gapwell {

namespace {

// Eight tables, so that eight bytes are folded in at a time ("slicing by 8"): table[0] is the CRC
// of each byte value, table[k] the same byte followed by k zero bytes.
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

Tables MakeTables() {
    Tables tables{};
    for (std::uint32_t value = 0; value < 256; ++value) {
        std::uint32_t crc = value;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
        tables[0][value] = crc;
    }
    for (std::size_t k = 1; k < tables.size(); ++k) {
        for (std::uint32_t value = 0; value < 256; ++value) {
            const std::uint32_t previous = tables[k - 1][value];
            tables[k][value] = (previous >> 8) ^ tables[0][previous & 0xFF];
        }
    }
    return tables;
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes) {
    static const Tables tables = MakeTables();
    std::uint32_t crc = 0xFFFFFFFFu;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t left = bytes.size();
    for (; left >= 8; left -= 8, data += 8) {
        const std::uint32_t low = crc ^ (data[0] | data[1] << 8 | data[2] << 16 |
                                         static_cast<std::uint32_t>(data[3]) << 24);
        crc = tables[7][low & 0xFF] ^ tables[6][(low >> 8) & 0xFF] ^ tables[5][(low >> 16) & 0xFF] ^
              tables[4][low >> 24] ^ tables[3][data[4]] ^ tables[2][data[5]] ^ tables[1][data[6]] ^
              tables[0][data[7]];
    }
    for (; left > 0; --left, ++data) {
        crc = tables[0][(crc ^ *data) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

}  // namespace gapwell
