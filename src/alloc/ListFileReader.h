#pragma once

#include <cstdint>
#include <string>

namespace gapwell {

// The most a list file (blocks, reserved ranges, ledger) may hold.
inline constexpr std::int64_t kListFileLimit = std::int64_t{1} << 20;

// The whole content of the regular file at `path`, at most `limit` bytes. Refuses what
// ReadOnlyFile refuses (folders, FIFOs, devices), so a read never waits or runs for ever; throws
// RuntimeError for that, for read failures and for a longer file.
std::string ReadListFile(const std::string& path, std::int64_t limit = kListFileLimit);

// The same, except that a file that does not exist, or whose folder does not, reads as empty.
std::string ReadListFileIfAny(const std::string& path, std::int64_t limit = kListFileLimit);

}  // namespace gapwell
