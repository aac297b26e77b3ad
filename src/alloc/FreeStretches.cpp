#include "alloc/FreeStretches.h"

#include <algorithm>
#include <limits>

namespace gapwell {

void FreeStretches::Add(ByteRange stretch) {
    if (stretch.end > stretch.first) {
        byLength_.emplace(stretch.end - stretch.first, stretch.first);
    }
}

std::optional<std::int64_t> FreeStretches::Take(std::int64_t size, std::int64_t align) {
    // Stretches in the order of preference; one at least size + align - 1 long always has room,
    // so the walk is short unless the alignment is large.
    for (auto it = byLength_.lower_bound({size, std::numeric_limits<std::int64_t>::min()});
         it != byLength_.end(); ++it) {
        const auto [length, first] = *it;
        const std::int64_t end = first + length;
        const std::int64_t offset = (first + align - 1) & ~(align - 1);
        if (offset + size > end) {
            continue;
        }
        byLength_.erase(it);
        Add({first, offset});
        Add({offset + size, end});
        return offset;
    }
    return std::nullopt;
}

ByteRange FreeStretches::Longest() const {
    if (byLength_.empty()) {
        return {};
    }
    const std::int64_t longest = byLength_.rbegin()->first;
    const std::int64_t first =
        byLength_.lower_bound({longest, std::numeric_limits<std::int64_t>::min()})->second;
    return {first, first + longest};
}

std::vector<ByteRange> Subtract(const std::vector<ByteRange>& stretches,
                                std::vector<ByteRange> taken) {
    std::sort(taken.begin(), taken.end(),
              [](const ByteRange& a, const ByteRange& b) { return a.first < b.first; });
    // Merged into disjoint ranges in order, so that their ends rise too.
    std::vector<ByteRange> merged;
    for (const ByteRange& range : taken) {
        if (range.first >= range.end) {
            continue;
        }
        if (!merged.empty() && range.first <= merged.back().end) {
            merged.back().end = std::max(merged.back().end, range.end);
        } else {
            merged.push_back(range);
        }
    }
    std::vector<ByteRange> left;
    for (const ByteRange& stretch : stretches) {
        auto cut = std::upper_bound(
            merged.begin(), merged.end(), stretch.first,
            [](std::int64_t offset, const ByteRange& range) { return offset < range.end; });
        std::int64_t from = stretch.first;
        for (; cut != merged.end() && cut->first < stretch.end; ++cut) {
            if (cut->first > from) {
                left.push_back({from, cut->first});
            }
            from = std::max(from, cut->end);
        }
        if (from < stretch.end) {
            left.push_back({from, stretch.end});
        }
    }
    return left;
}

}  // namespace gapwell
