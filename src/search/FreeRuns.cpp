#include "search/FreeRuns.h"

#include <cerrno>

#include "base/RuntimeError.h"
#include "search/PieceReader.h"
#include "search/ReadOnlyFile.h"
#include "search/RunFinder.h"

namespace gapwell {

void ScanFreeRuns(const std::string& path, std::uint8_t filler, std::int64_t needed,
                  std::int64_t align, const std::function<void(const FreeRun&)>& report,
                  PointerWords* words) {
    if (needed < 1 || align < 1 || (align & (align - 1)) != 0) {
        throw RuntimeError(EINVAL, "Invalid argument: bad needed length or alignment");
    }
    const ReadOnlyFile file(path);
    RunFinder runs(filler, needed, align, report);
    if (words != nullptr) {
        words->Start(file.Length());
    }
    PieceReader(file).ReadWhole([&runs, words](const std::uint8_t* piece, std::size_t size) {
        runs.Feed(piece, size);
        if (words != nullptr) {
            words->Feed(piece, size);
        }
    });
    runs.Finish();
    if (words != nullptr) {
        words->Finish();
    }
}

}  // namespace gapwell
