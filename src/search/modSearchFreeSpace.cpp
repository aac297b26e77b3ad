#include "search/modSearchFreeSpace.h"

#include <cerrno>
#include <limits>

#include "base/RuntimeError.h"
#include "search/FirstRunFinder.h"
#include "search/PieceReader.h"
#include "search/ReadOnlyFile.h"

namespace gapwell {

std::int32_t SearchFreeSpace(const std::string& FileName, std::uint8_t FreeSpaceByte,
                             std::int32_t NeededBytes, std::int32_t StartOffset,
                             std::int32_t ChunkSize, std::uint8_t OverlapFactor,
                             std::int32_t Alignment) {
    if (NeededBytes <= 0) {
        throw RuntimeError(EINVAL, "Invalid argument: needed bytes must be at least 1");
    }
    if (ChunkSize <= 0) {
        throw RuntimeError(EINVAL, "Invalid argument: chunk size must be at least 1");
    }
    if (Alignment < 1 || (Alignment & (Alignment - 1)) != 0) {
        throw RuntimeError(EINVAL, "Invalid argument: alignment must be a power of two");
    }
    if (StartOffset < 0) {
        throw RuntimeError(EINVAL, "Invalid argument: negative start offset");
    }
    const std::int64_t advance = ChunkSize / (OverlapFactor + 1);

    const ReadOnlyFile file(FileName);
    const std::int64_t length = file.Length();
    if (length > std::numeric_limits<std::int32_t>::max()) {
        throw ErrnoError(EFBIG, FileName);
    }
    if (length == 0 || StartOffset == length) {
        return 0;
    }

    // Integer division truncating toward zero, so a start past the end reads at most once.
    const std::int64_t lastChunk = (length - StartOffset) / ChunkSize;
    PieceReader reader(file);
    std::int64_t position = StartOffset;
    std::int64_t found = 0;
    for (std::int64_t i = 0; i <= lastChunk; ++i) {
        // Each chunk is a stream of its own, so no run reaches into it from the chunk before.
        // Only bytes really read are searched: nothing past the end of the file can match.
        FirstRunFinder first(FreeSpaceByte, NeededBytes, Alignment, position);
        reader.Read(position, ChunkSize, [&first](const std::uint8_t* piece, std::size_t size) {
            return !first.Feed(piece, size);
        });
        if (first.Offset() >= 0) {
            found = first.Offset();
            break;
        }
        position += advance;
    }
    return found < length ? static_cast<std::int32_t>(found) : 0;
}

}  // namespace gapwell
