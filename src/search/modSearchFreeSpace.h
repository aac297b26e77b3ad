#pragma once

#include <cstdint>
#include <string>

namespace gapwell {

// The chunk size the search commands and the command line always use (1 MiB).
inline constexpr std::int32_t kSearchChunkSize = 1048576;

// The first offset at or after startOffset that is a multiple of alignment (a power of two; 1
// aligns nothing) and where fileName holds neededBytes consecutive freeSpaceByte bytes inside one
// chunk, or 0 when there is none. Chunks of chunkSize bytes start at
// startOffset + k * (chunkSize / (overlapFactor + 1)); a match must lie wholly inside one chunk
// and wholly inside the file. The file is opened read-only for the call and never written.
// Throws RuntimeError when the file cannot be opened or read, when neededBytes or chunkSize is
// below 1, when alignment is no power of two, when startOffset is negative, and when the file is
// longer than the 32-bit offsets reach.
std::int32_t SearchFreeSpace(const std::string& fileName, std::uint8_t freeSpaceByte,
                             std::int32_t neededBytes, std::int32_t startOffset,
                             std::int32_t chunkSize, std::uint8_t overlapFactor,
                             std::int32_t alignment = 1);

}  // namespace gapwell
