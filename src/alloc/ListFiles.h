#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "alloc/Allocation.h"
#include "search/ByteRange.h"

namespace gapwell {

// The texts that alloc reads and writes. Lines end in LF or CR LF; "#" starts a comment that
// runs to the end of the line; blank lines are skipped; fields are separated by spaces or tabs.
// Sizes and alignments are decimal or hex after "0x"; offsets are hex, with or without "0x".
// A bad line throws RuntimeError naming `source`, the line and what is wrong.

// "NAME:SIZE[:ALIGN]", as --block takes it.
Block ParseBlockSpec(const std::string& spec);
// A line of a blocks file: the block, and the file that holds its bytes when the line gives one
// ("@FILE" in place of the size: the size is then 0 until the file is read).
struct BlockLine {
    Block block;
    std::string file;
};

// One "NAME SIZE [ALIGN]" or "NAME @FILE [ALIGN]" a line.
std::vector<BlockLine> ParseBlockList(const std::string& text, const std::string& source);
// One "START END" (END the first byte after the range) or "START +LENGTH" a line, all hex.
std::vector<ByteRange> ParseReservedList(const std::string& text, const std::string& source);
// One "NAME OFFSET SIZE ALIGN" a line: what LedgerText writes.
std::vector<Placement> ParseLedger(const std::string& text, const std::string& source);
// The ledger of `places`: a comment line, then one "NAME OFFSET SIZE ALIGN" line each, OFFSET
// in upper-case hex without prefix, SIZE and ALIGN in decimal.
std::string LedgerText(const std::vector<Placement>& places);

}  // namespace gapwell
