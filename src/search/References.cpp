#include "search/References.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

#include "base/RuntimeError.h"
#include "search/PieceReader.h"
#include "search/ReadOnlyFile.h"

namespace gapwell {

namespace {

constexpr std::array<std::uint32_t, 3> kRomBases = {0x08000000, 0x0A000000, 0x0C000000};
constexpr std::uint32_t kThumbBit = 1;

std::uint32_t LittleEndianWord(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

bool AreOrdered(const std::vector<ByteRange>& ranges) {
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        if (ranges[i].first < 0 || ranges[i].first > ranges[i].end) {
            return false;
        }
        if (i > 0 && (ranges[i].first < ranges[i - 1].first || ranges[i].end < ranges[i - 1].end)) {
            return false;
        }
    }
    return true;
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

ReferenceFinder::ReferenceFinder(std::vector<ByteRange> ranges, std::size_t listLimit)
    : ranges_(std::move(ranges)), listLimit_(listLimit), references_(ranges_.size()) {
    if (!AreOrdered(ranges_)) {
        throw RuntimeError(EINVAL, "Invalid argument: byte ranges out of order");
    }
    if (!ranges_.empty()) {
        // A word points into some range only when its value lies between the lowest first byte
        // in the lowest mirror and the highest end in the highest mirror (the end itself with
        // the Thumb bit set points at the last byte).
        const std::int64_t lowest = ranges_.front().first;
        const std::int64_t span = ranges_.back().end - lowest;
        lowestWord_ = kRomBases.front() + static_cast<std::uint32_t>(lowest);
        wordSpan_ = kRomBases.back() - kRomBases.front() + static_cast<std::uint32_t>(span);
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
        while ((span >> granuleShift_) > 8 * static_cast<std::int64_t>(ranges_.size())) {
            ++granuleShift_;
        }
        granules_.resize(static_cast<std::size_t>(span >> granuleShift_) / 64 + 1);
        for (const ByteRange& r : ranges_) {
            for (std::int64_t granule = (r.first - lowest) >> granuleShift_;
                 r.first < r.end && granule <= (r.end - 1 - lowest) >> granuleShift_; ++granule) {
                granules_[static_cast<std::size_t>(granule / 64)] |= std::uint64_t{1}
                                                                     << (granule % 64);
            }
        }
    }
}

bool ReferenceFinder::MayPointIntoAny(std::uint32_t value) const {
    for (const std::uint32_t base : kRomBases) {
        if (value >= base && (MayHold(value - base) ||
                              ((value & kThumbBit) != 0 && MayHold(value - kThumbBit - base)))) {
            return true;
        }
    }
    return false;
}

std::pair<std::size_t, std::size_t> ReferenceFinder::RangesHolding(std::int64_t target) const {
    if (!MayHold(target)) {
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

void ReferenceFinder::Feed(const std::uint8_t* data, std::size_t size) {
    std::size_t i = 0;
    if (partialSize_ > 0) {
        const std::size_t taken = std::min(sizeof partial_ - partialSize_, size);
        std::copy(data, data + taken, partial_ + partialSize_);
        partialSize_ += taken;
        i = taken;
        if (partialSize_ == sizeof partial_) {
            const std::int64_t wordOffset = position_ + static_cast<std::int64_t>(taken) -
                                            static_cast<std::int64_t>(sizeof partial_);
            CheckWord(wordOffset, LittleEndianWord(partial_));
            partialSize_ = 0;
        }
    }
    // Blocks of words are first tested together, without a branch for each word, so that the
    // compiler can test several at once; few blocks hold a word that points near any range.
    constexpr std::size_t kBlockBytes = 16 * sizeof partial_;
    for (; size - i >= kBlockBytes; i += kBlockBytes) {
        bool anyNear = false;
        for (std::size_t at = i; at < i + kBlockBytes; at += sizeof partial_) {
            anyNear |= PointsNear(LittleEndianWord(data + at));
        }
        if (anyNear) {
            CheckWords(data, i, i + kBlockBytes);
        }
    }
    CheckWords(data, i, size - (size - i) % sizeof partial_);
    i = size - (size - i) % sizeof partial_;
    // A word that the next piece completes.
    std::copy(data + i, data + size, partial_ + partialSize_);
    partialSize_ += size - i;
    position_ += static_cast<std::int64_t>(size);
}

void ReferenceFinder::CheckWords(const std::uint8_t* data, std::size_t from, std::size_t to) {
    for (std::size_t at = from; at < to; at += sizeof partial_) {
        const std::uint32_t value = LittleEndianWord(data + at);
        if (PointsNear(value) && MayPointIntoAny(value)) {
            CheckWord(position_ + static_cast<std::int64_t>(at), value);
        }
    }
}

void ReferenceFinder::CheckWord(std::int64_t offset, std::uint32_t value) {
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
            RangeReferences& references = references_[r];
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

std::vector<RangeReferences> FindReferences(const std::string& path,
                                            const std::vector<ByteRange>& ranges,
                                            std::size_t listLimit) {
    ReferenceFinder finder(ranges, listLimit);
    const ReadOnlyFile file(path);
    if (!ranges.empty()) {
        PieceReader(file).ReadWhole(
            [&finder](const std::uint8_t* piece, std::size_t size) { finder.Feed(piece, size); });
    }
    return finder.References();
}

}  // namespace gapwell
