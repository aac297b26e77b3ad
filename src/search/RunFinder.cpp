#include "search/RunFinder.h"

#include <cstring>
#include <utility>

namespace gapwell {

namespace {

// Below this needed length, the next filler byte is looked for with memchr; from it on, only
// every needed-th byte is looked at until one is filler.
constexpr std::size_t kProbeFrom = 16;

std::uint64_t FillerWord(std::uint8_t filler) {
    return 0x0101010101010101ULL * filler;
}

std::uint64_t WordAt(const std::uint8_t* data) {
    std::uint64_t word = 0;
    std::memcpy(&word, data, sizeof word);
    return word;
}

// Index of the first byte in [from, size) that is not `filler`, or `size`.
std::size_t SkipFiller(const std::uint8_t* data, std::size_t from, std::size_t size,
                       std::uint8_t filler) {
    const std::uint64_t pattern = FillerWord(filler);
    std::size_t i = from;
    while (size - i >= sizeof pattern && WordAt(data + i) == pattern) {
        i += sizeof pattern;
    }
    while (i < size && data[i] == filler) {
        ++i;
    }
    return i;
}

// The smallest index s in [from, to] with data[s .. to) all `filler`.
std::size_t RunStartBefore(const std::uint8_t* data, std::size_t from, std::size_t to,
                           std::uint8_t filler) {
    const std::uint64_t pattern = FillerWord(filler);
    std::size_t s = to;
    while (s - from >= sizeof pattern && WordAt(data + s - sizeof pattern) == pattern) {
        s -= sizeof pattern;
    }
    while (s > from && data[s - 1] == filler) {
        --s;
    }
    return s;
}

}  // namespace

RunFinder::RunFinder(std::uint8_t filler, std::int64_t needed, std::int64_t align,
                     std::function<void(const FreeRun&)> report, std::int64_t firstOffset)
    : filler_(filler),
      needed_(static_cast<std::size_t>(needed)),
      align_(align),
      report_(std::move(report)),
      position_(firstOffset) {}

void RunFinder::Feed(const std::uint8_t* data, std::size_t size) {
    std::size_t i = 0;
    if (runStart_ >= 0) {
        i = SkipFiller(data, 0, size, filler_);
        if (i == size) {
            position_ += static_cast<std::int64_t>(size);
            return;
        }
        EndRun(position_ + static_cast<std::int64_t>(i));
        ++i;
    }
    // Here data[i - 1] is no filler (or i is 0 and no run goes on), so a run long enough that
    // begins in [i, i + needed) covers the byte at i + needed - 1: that byte alone tells whether
    // the whole window can be skipped.
    while (size - i >= needed_) {
        std::size_t hit = i + needed_ - 1;
        if (data[hit] != filler_) {
            if (needed_ >= kProbeFrom) {
                i = hit + 1;
                continue;
            }
            const void* next = std::memchr(data + hit, filler_, size - hit);
            if (next == nullptr) {
                i = size;
                break;
            }
            hit = static_cast<std::size_t>(static_cast<const std::uint8_t*>(next) - data);
        }
        const std::size_t start = RunStartBefore(data, i, hit, filler_);
        const std::size_t end = SkipFiller(data, hit + 1, size, filler_);
        runStart_ = position_ + static_cast<std::int64_t>(start);
        if (end == size) {
            position_ += static_cast<std::int64_t>(size);
            return;
        }
        EndRun(position_ + static_cast<std::int64_t>(end));
        i = end + 1;
    }
    // The rest is shorter than `needed`, but a run that begins in it may go on in the next piece.
    const std::size_t tail = RunStartBefore(data, i, size, filler_);
    if (tail < size) {
        runStart_ = position_ + static_cast<std::int64_t>(tail);
    }
    position_ += static_cast<std::int64_t>(size);
}

void RunFinder::Finish() {
    if (runStart_ >= 0) {
        EndRun(position_);
    }
}

std::optional<FreeRun> RunFinder::OpenRun() const {
    return runStart_ >= 0 ? LongEnough(position_) : std::nullopt;
}

std::optional<FreeRun> RunFinder::LongEnough(std::int64_t end) const {
    const std::int64_t aligned = (runStart_ + align_ - 1) & ~(align_ - 1);
    if (end - aligned >= static_cast<std::int64_t>(needed_)) {
        return FreeRun{aligned, end - aligned};
    }
    return std::nullopt;
}

void RunFinder::EndRun(std::int64_t end) {
    if (const std::optional<FreeRun> run = LongEnough(end)) {
        report_(*run);
    }
    runStart_ = -1;
}

}  // namespace gapwell
