#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace gapwell {

// Where the GBA cartridge header keeps what the program shows.
inline constexpr std::int64_t kTitleOffset = 0xA0;
inline constexpr std::size_t kTitleLength = 12;
inline constexpr std::int64_t kGameCodeOffset = 0xAC;
inline constexpr std::size_t kGameCodeLength = 4;
inline constexpr std::int64_t kMakerCodeOffset = 0xB0;
inline constexpr std::size_t kMakerCodeLength = 2;
// The header's complement check: the byte at 0xBD must equal
// (-(sum of the bytes 0xA0 to 0xBC) - 0x19) mod 256.
inline constexpr std::int64_t kComplementOffset = 0xBD;

// What the byte at 0xBD should be for the 29 header bytes from 0xA0 at `header`.
std::uint8_t HeaderComplement(const std::uint8_t* header);

struct HeaderCheck {
    std::uint8_t is = 0;        // the byte at 0xBD
    std::uint8_t shouldBe = 0;  // what the bytes before it make it

    bool Ok() const { return is == shouldBe; }
};

// What the program knows about a ROM file. A field that lies (partly) beyond the end of a short
// file holds only the characters the file has; `headerComplete` tells whether all were there.
struct RomFacts {
    std::int64_t length = 0;
    std::string title;  // trailing NULs dropped
    std::string gameCode;
    std::string makerCode;
    bool headerComplete = false;
    std::optional<HeaderCheck> headerCheck;  // nothing for a file that ends before 0xBE
};

// The file's length in bytes; throws RuntimeError when it cannot be opened or measured.
std::int64_t RomLength(const std::string& path);

// Length and header fields, read with the file opened read-only; throws RuntimeError.
RomFacts ReadRomFacts(const std::string& path);

// Header bytes as text: printable ASCII stays, other bytes above 0x7F are taken as Latin-1
// characters (written as UTF-8), control characters show as ".".
std::string HeaderText(const std::string& bytes);

}  // namespace gapwell
