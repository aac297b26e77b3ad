#pragma once

#include <cstdint>
#include <string>

namespace gapwell {

// The chunk size the search commands and the command line always use (1 MiB).
inline constexpr std::int32_t kSearchChunkSize = 1048576;

// The first offset at or after StartOffset that is a multiple of Alignment (a power of two; 1
// aligns nothing) and where FileName holds NeededBytes consecutive FreeSpaceByte bytes inside one
// chunk, or 0 when there is none. Chunks of ChunkSize bytes start at
// StartOffset + k * (ChunkSize / (OverlapFactor + 1)); a match must lie wholly inside one chunk
// and wholly inside the file. The file is opened read-only for the call and never written.
// Throws RuntimeError when the file cannot be opened or read, when NeededBytes or ChunkSize is
// below 1, when Alignment is no power of two, when StartOffset is negative, and when the file is
// longer than the 32-bit offsets reach.
std::int32_t SearchFreeSpace(const std::string& FileName, std::uint8_t FreeSpaceByte,
                             std::int32_t NeededBytes, std::int32_t StartOffset,
                             std::int32_t ChunkSize, std::uint8_t OverlapFactor,
                             std::int32_t Alignment = 1);

}  // namespace gapwell
