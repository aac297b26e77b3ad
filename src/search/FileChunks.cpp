#include "search/FileChunks.h"

#include <vector>

#include "search/ReadOnlyFile.h"
#include "search/modSearchFreeSpace.h"

namespace gapwell {

void ForEachChunk(const ReadOnlyFile& file,
                  const std::function<void(const std::uint8_t* data, std::size_t size)>& chunk) {
    std::vector<std::uint8_t> buffer(kSearchChunkSize);
    std::int64_t position = 0;
    for (;;) {
        const std::size_t got = file.ReadAt(position, buffer.data(), buffer.size());
        if (got == 0) {
            break;
        }
        chunk(buffer.data(), got);
        position += static_cast<std::int64_t>(got);
    }
}

}  // namespace gapwell
