#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "alloc/Allocation.h"

namespace gapwell {

// The largest ROM that a new ROM is made from or grown to: the GBA's 32 MiB of cartridge space.
inline constexpr std::int64_t kLargestRom = std::int64_t{32} << 20;

// The whole ROM at `path`, at most kLargestRom bytes (read as ReadListFile reads); throws
// RuntimeError.
std::string ReadWholeRom(const std::string& path);

// Writes into `rom` the bytes of each placed block that `contents` has (by name). A byte it would
// overwrite must be the filler byte, or lie in the block's own earlier place in `owned` (the
// ledger as read: the block was inserted there by an earlier run). Returns an empty text when
// every block is written; else one line naming the first block and byte that break the rule,
// with `rom` partly written.
std::string InsertBlocks(std::string& rom, const std::vector<Placement>& placed,
                         const std::map<std::string, std::string>& contents, std::uint8_t filler,
                         const std::vector<Placement>& owned);

// Sets the header's complement byte (0xBD) to what the header bytes before it make it; throws
// RuntimeError for a ROM too short to hold it.
void FixHeaderComplement(std::string& rom);

}  // namespace gapwell
