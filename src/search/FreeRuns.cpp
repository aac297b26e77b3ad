#include "search/FreeRuns.h"

#include <cerrno>
#include <vector>

#include "base/RuntimeError.h"
#include "search/ReadOnlyFile.h"
#include "search/RunFinder.h"
#include "search/modSearchFreeSpace.h"

namespace gapwell {

void ScanFreeRuns(const std::string& path, std::uint8_t filler, std::int64_t needed,
                  std::int64_t align, const std::function<void(const FreeRun&)>& report) {
    if (needed < 1 || align < 1 || (align & (align - 1)) != 0) {
        throw RuntimeError(EINVAL, "Invalid argument: bad needed length or alignment");
    }
    const ReadOnlyFile file(path);
    std::vector<std::uint8_t> chunk(kSearchChunkSize);
    RunFinder runs(filler, needed, align, report);
    std::int64_t position = 0;
    for (;;) {
        const std::size_t got = file.ReadAt(position, chunk.data(), chunk.size());
        if (got == 0) {
            break;
        }
        runs.Feed(chunk.data(), got);
        position += static_cast<std::int64_t>(got);
    }
    runs.Finish();
}

}  // namespace gapwell
