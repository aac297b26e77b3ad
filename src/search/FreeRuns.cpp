#include "search/FreeRuns.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "base/RuntimeError.h"
#include "search/ReadOnlyFile.h"
#include "search/modSearchFreeSpace.h"

namespace gapwell {

namespace {

// Index of the first byte in [from, size) that differs from `filler`, or `size`.
std::size_t SkipFiller(const std::uint8_t* data, std::size_t from, std::size_t size,
                       std::uint8_t filler) {
    std::uint64_t pattern = 0;
    std::memset(&pattern, filler, sizeof pattern);
    std::size_t i = from;
    for (; i + sizeof pattern <= size; i += sizeof pattern) {
        std::uint64_t word = 0;
        std::memcpy(&word, data + i, sizeof word);
        if (word != pattern) {
            break;
        }
    }
    while (i < size && data[i] == filler) {
        ++i;
    }
    return i;
}

class RunCollector {
  public:
    RunCollector(std::int64_t needed, std::int64_t align,
                 const std::function<void(const FreeRun&)>& report)
        : needed_(needed), align_(align), report_(report) {}

    void Begin(std::int64_t offset) { runStart_ = offset; }
    bool InRun() const { return runStart_ >= 0; }

    void End(std::int64_t offset) {
        const std::int64_t aligned = (runStart_ + align_ - 1) & ~(align_ - 1);
        if (offset - aligned >= needed_) {
            report_({aligned, offset - aligned});
        }
        runStart_ = -1;
    }

  private:
    std::int64_t needed_;
    std::int64_t align_;
    const std::function<void(const FreeRun&)>& report_;
    std::int64_t runStart_ = -1;
};

}  // namespace

void ScanFreeRuns(const std::string& path, std::uint8_t filler, std::int64_t needed,
                  std::int64_t align, const std::function<void(const FreeRun&)>& report) {
    if (needed < 1 || align < 1 || (align & (align - 1)) != 0) {
        throw RuntimeError(EINVAL, "Invalid argument: bad needed length or alignment");
    }
    const ReadOnlyFile file(path);
    std::vector<std::uint8_t> chunk(kSearchChunkSize);
    RunCollector runs(needed, align, report);
    std::int64_t position = 0;
    for (;;) {
        const std::size_t got = file.ReadAt(position, chunk.data(), chunk.size());
        if (got == 0) {
            break;
        }
        std::size_t i = 0;
        while (i < got) {
            if (runs.InRun()) {
                i = SkipFiller(chunk.data(), i, got, filler);
                if (i < got) {
                    runs.End(position + static_cast<std::int64_t>(i));
                }
            } else {
                const void* hit = std::memchr(chunk.data() + i, filler, got - i);
                if (hit == nullptr) {
                    break;
                }
                i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - chunk.data());
                runs.Begin(position + static_cast<std::int64_t>(i));
            }
        }
        position += static_cast<std::int64_t>(got);
    }
    if (runs.InRun()) {
        runs.End(position);
    }
}

}  // namespace gapwell
