#include "search/modSearchFreeSpace.h"

#include <cerrno>
#include <limits>

#include "base/RuntimeError.h"
#include "search/FirstRunFinder.h"
#include "search/PieceReader.h"
#include "search/ReadOnlyFile.h"

namespace gapwell {

std::int32_t SearchFreeSpace(const std::string& fileName, std::uint8_t freeSpaceByte,
                             std::int32_t neededBytes, std::int32_t startOffset,
                             std::int32_t chunkSize, std::uint8_t overlapFactor,
                             std::int32_t alignment) {
    if (neededBytes <= 0) {
        throw RuntimeError(EINVAL, "Invalid argument: needed bytes must be at least 1");
    }
    if (chunkSize <= 0) {
        throw RuntimeError(EINVAL, "Invalid argument: chunk size must be at least 1");
    }
    if (alignment < 1 || (alignment & (alignment - 1)) != 0) {
        throw RuntimeError(EINVAL, "Invalid argument: alignment must be a power of two");
    }
    if (startOffset < 0) {
        throw RuntimeError(EINVAL, "Invalid argument: negative start offset");
    }
    const std::int64_t advance = chunkSize / (overlapFactor + 1);

    const ReadOnlyFile file(fileName);
    const std::int64_t length = file.Length();
    if (length > std::numeric_limits<std::int32_t>::max()) {
        throw ErrnoError(EFBIG, fileName);
    }
    if (length == 0 || startOffset == length) {
        return 0;
    }

    // Integer division truncating toward zero, so a start past the end reads at most once.
    const std::int64_t lastChunk = (length - startOffset) / chunkSize;
    PieceReader reader(file);
    std::int64_t position = startOffset;
    std::int64_t found = 0;
    for (std::int64_t i = 0; i <= lastChunk; ++i) {
        // Each chunk is a stream of its own, so no run reaches into it from the chunk before.
        // Only bytes really read are searched: nothing past the end of the file can match.
        FirstRunFinder first(freeSpaceByte, neededBytes, alignment, position);
        reader.Read(position, chunkSize, [&first](const std::uint8_t* piece, std::size_t size) {
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
