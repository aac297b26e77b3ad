#include "alloc/FreeStretches.h"

#include <algorithm>
#include <limits>

namespace gapwell {

void FreeStretches::Add(ByteRange stretch) {
    if (stretch.end > stretch.first) {
        byLength_.emplace(stretch.end - stretch.first, stretch.first);
        byFirst_.emplace(stretch.first, stretch.end);
    }
}

std::optional<FreeStretches::Choice> FreeStretches::BestByLength(std::int64_t size,
                                                                 std::int64_t align) const {
    // One at least size + align - 1 long always has room, so the walk is short unless the
    // alignment is large.
    for (auto it = byLength_.lower_bound({size, std::numeric_limits<std::int64_t>::min()});
         it != byLength_.end(); ++it) {
        const auto [length, first] = *it;
        const std::int64_t offset = (first + align - 1) & ~(align - 1);
        if (offset + size <= first + length) {
            return Choice{*it, offset};
        }
    }
    return std::nullopt;
}

std::optional<FreeStretches::Choice> FreeStretches::BestByAlignment(std::int64_t size,
                                                                    std::int64_t align) const {
    // Rising multiples meet each stretch first at its lowest aligned offset.
    std::optional<Choice> best;
    const std::int64_t lastEnd = byFirst_.rbegin()->second;
    for (std::int64_t offset = 0; offset + size <= lastEnd; offset += align) {
        const auto after = byFirst_.upper_bound(offset);
        if (after == byFirst_.begin()) {
            continue;
        }
        const auto [first, end] = *std::prev(after);
        const Choice choice{{end - first, first}, offset};
        if (offset + size <= end && (!best || choice.stretch < best->stretch)) {
            best = choice;
        }
    }
    return best;
}

std::optional<std::int64_t> FreeStretches::Take(std::int64_t size, std::int64_t align) {
    if (byFirst_.empty()) {
        return std::nullopt;
    }
    const std::int64_t multiples = byFirst_.rbegin()->second / align;
    const auto choice = multiples < static_cast<std::int64_t>(byLength_.size())
                            ? BestByAlignment(size, align)
                            : BestByLength(size, align);
    if (!choice) {
        return std::nullopt;
    }
    const auto [length, first] = choice->stretch;
    byLength_.erase(choice->stretch);
    byFirst_.erase(first);
    Add({first, choice->offset});
    Add({choice->offset + size, first + length});
    return choice->offset;
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
