#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/ByteRange.h"

namespace gapwell {

// The patch formats that ROM hackers share. Each turns a source ROM into a target ROM:
//   BPS: "BPS1", the two sizes, then actions (copy from the source, or bytes of the patch), then
//        the CRC-32s of source, target and patch;
//   UPS: "UPS1", the two sizes, then runs of bytes XORed onto the source, then the same CRC-32s;
//   IPS: "PATCH", records of a 3-byte offset and the bytes to write there, "EOF"; it cannot reach
//        past 16 MiB and has no checksums.
enum class PatchFormat { Bps, Ups, Ips };

// The most a patched ROM may hold: the GBA's 32 MiB of cartridge space.
inline constexpr std::int64_t kLargestPatchedRom = std::int64_t{32} << 20;
// IPS offsets have 24 bits.
inline constexpr std::int64_t kIpsLimit = std::int64_t{1} << 24;

// The format named by the file name's extension (.bps, .ups, .ips, in any case); nothing for
// another.
std::optional<PatchFormat> PatchFormatOfName(const std::string& path);

// A patch from `source` to `target`. Throws RuntimeError for IPS when a change lies at or beyond
// 16 MiB, or the target is shorter than the source.
std::string MakePatch(PatchFormat format, std::string_view source, std::string_view target);

// `source` patched by `patch`, whose format is told by its first bytes. Throws RuntimeError with
// one line for a patch of no known format, a damaged or cut one, one made for another ROM (its
// size or CRC-32, expected and actual, differ), and a target over kLargestPatchedRom.
std::string ApplyPatch(std::string_view patch, std::string_view source);
// The same for a source whose CRC-32 is known (Crc32.h).
std::string ApplyPatch(std::string_view patch, std::string_view source, std::uint32_t sourceCrc);

// The byte ranges where `target` differs from `source`, in order and merged; the bytes past the
// shorter one's end count as changed.
std::vector<ByteRange> ChangedRanges(std::string_view source, std::string_view target);

}  // namespace gapwell
