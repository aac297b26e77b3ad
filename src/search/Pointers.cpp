#include "search/Pointers.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

#include "base/RuntimeError.h"
#include "search/PieceReader.h"
#include "search/ReadOnlyFile.h"

namespace gapwell {

namespace {

// The ranges as they are; throws RuntimeError when they are not in the order the finder needs.
std::vector<ByteRange> Ordered(std::vector<ByteRange> ranges) {
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const bool backwards = ranges[i].first < 0 || ranges[i].first > ranges[i].end;
        const bool outOfOrder =
            i > 0 && (ranges[i].first < ranges[i - 1].first || ranges[i].end < ranges[i - 1].end);
        if (backwards || outOfOrder) {
            throw RuntimeError(EINVAL, "Invalid argument: byte ranges out of order");
        }
    }
    return ranges;
}

// The ROM offsets a word's value points at: up to three mirrors, each also with bit 0 cleared.
struct Targets {
    std::array<std::int64_t, 6> offsets{};
    std::size_t count = 0;
};

Targets TargetsOf(std::uint32_t value) {
    Targets targets;
    for (const std::uint32_t base : kRomBases) {
        if (value >= base) {
            targets.offsets[targets.count++] = value - base;
            if ((value & kThumbBit) != 0) {
                targets.offsets[targets.count++] = value - kThumbBit - base;
            }
        }
    }
    return targets;
}

}  // namespace

PointerFinder::PointerFinder(std::vector<ByteRange> ranges, std::size_t listLimit)
    : ranges_(Ordered(std::move(ranges))),
      listLimit_(listLimit),
      references_(ranges_.size()),
      sieve_(ranges_,
             [this](std::int64_t offset, std::uint32_t value) { CheckWord(offset, value); }) {
    if (!ranges_.empty()) {
        IndexRanges();
    }
}

void PointerFinder::IndexRanges() {
    const std::int64_t lowest = ranges_.front().first;
    const std::int64_t span = ranges_.back().end - lowest;
    while ((span >> bucketShift_) > static_cast<std::int64_t>(ranges_.size())) {
        ++bucketShift_;
    }
    const std::size_t buckets = static_cast<std::size_t>(span >> bucketShift_) + 2;
    bucketFirst_.resize(buckets);
    std::size_t range = 0;
    for (std::size_t bucket = 0; bucket < buckets; ++bucket) {
        const std::int64_t bucketStart =
            lowest + (static_cast<std::int64_t>(bucket) << bucketShift_);
        while (range < ranges_.size() && ranges_[range].end <= bucketStart) {
            ++range;
        }
        bucketFirst_[bucket] = range;
    }
}

std::pair<std::size_t, std::size_t> PointerFinder::RangesHolding(std::int64_t target) const {
    if (ranges_.empty() || target < ranges_.front().first || target >= ranges_.back().end) {
        return {0, 0};
    }
    const auto bucket = static_cast<std::size_t>((target - ranges_.front().first) >> bucketShift_);
    // The first range that ends after the target lies between the bucket's first and the next
    // bucket's first.
    const auto from =
        std::upper_bound(ranges_.begin() + static_cast<std::ptrdiff_t>(bucketFirst_[bucket]),
                         ranges_.begin() + static_cast<std::ptrdiff_t>(bucketFirst_[bucket + 1]),
                         target, [](std::int64_t p, const ByteRange& r) { return p < r.end; });
    if (from == ranges_.end() || from->first > target) {
        return {0, 0};
    }
    const auto to =
        std::upper_bound(from, ranges_.end(), target,
                         [](std::int64_t p, const ByteRange& r) { return p < r.first; });
    return {static_cast<std::size_t>(from - ranges_.begin()),
            static_cast<std::size_t>(to - ranges_.begin())};
}

void PointerFinder::CheckWord(std::int64_t offset, std::uint32_t value) {
    const Targets targets = TargetsOf(value);
    // The ranges that hold a target form one run of indices per target, since first and end
    // both rise; a range is counted once however many of the word's targets it holds.
    std::array<std::pair<std::size_t, std::size_t>, 6> spans{};
    bool pointsIntoAny = false;
    for (std::size_t t = 0; t < targets.count; ++t) {
        spans[t] = RangesHolding(targets.offsets[t]);
        pointsIntoAny = pointsIntoAny || spans[t].first < spans[t].second;
    }
    if (!pointsIntoAny) {
        return;
    }
    std::sort(spans.begin(), spans.begin() + static_cast<std::ptrdiff_t>(targets.count));
    std::size_t next = 0;  // ranges below this index are already counted for this word
    for (std::size_t t = 0; t < targets.count; ++t) {
        for (std::size_t r = std::max(next, spans[t].first); r < spans[t].second; ++r) {
            RangePointers& references = references_[r];
            ++references.inside;
            const auto* hitsStart = std::find(
                targets.offsets.begin(), targets.offsets.begin() + targets.count, ranges_[r].first);
            if (hitsStart != targets.offsets.begin() + targets.count) {
                ++references.atStartCount;
                if (references.atStart.size() < listLimit_) {
                    references.atStart.push_back(offset);
                }
            }
        }
        next = std::max(next, spans[t].second);
    }
}

std::vector<RangePointers> FindPointers(const std::string& path, std::vector<ByteRange> ranges,
                                        std::size_t listLimit, const PointerWords* words) {
    const bool anyRange = !ranges.empty();
    PointerFinder finder(std::move(ranges), listLimit);
    if (words != nullptr && words->Complete()) {
        finder.FeedWords(*words);
        return finder.TakePointers();
    }
    const ReadOnlyFile file(path);
    if (anyRange) {
        PieceReader(file).ReadWhole(
            [&finder](const std::uint8_t* piece, std::size_t size) { finder.Feed(piece, size); });
    }
    return finder.TakePointers();
}

}  // namespace gapwell
