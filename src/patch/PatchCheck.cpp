#include "patch/PatchCheck.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace gapwell {

namespace {

// The ranges where at least `minimum` patches are changing bytes at once, adjacent ones merged
// with the patches of both.
std::vector<Collision> Sweep(const std::vector<std::vector<ByteRange>>& changes,
                             std::size_t minimum) {
    // (offset, 0 for an end or 1 for a start, patch): ends first, so that ranges that only touch
    // do not overlap.
    std::vector<std::tuple<std::int64_t, int, std::size_t>> events;
    for (std::size_t patch = 0; patch < changes.size(); ++patch) {
        for (const ByteRange& range : changes[patch]) {
            events.emplace_back(range.first, 1, patch);
            events.emplace_back(range.end, 0, patch);
        }
    }
    std::sort(events.begin(), events.end());
    std::vector<Collision> collisions;
    std::set<std::size_t> active;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const auto& [offset, isStart, patch] = events[i];
        if (isStart != 0) {
            active.insert(patch);
        } else {
            active.erase(patch);
        }
        const std::int64_t next = i + 1 < events.size() ? std::get<0>(events[i + 1]) : offset;
        if (active.size() < minimum || next == offset) {
            continue;
        }
        if (!collisions.empty() && collisions.back().bytes.end == offset) {
            Collision& last = collisions.back();
            last.bytes.end = next;
            std::set<std::size_t> merged(last.patches.begin(), last.patches.end());
            merged.insert(active.begin(), active.end());
            last.patches.assign(merged.begin(), merged.end());
        } else {
            collisions.push_back({{offset, next}, {active.begin(), active.end()}, {}});
        }
    }
    return collisions;
}

// The parts of `ranges` (in order, disjoint) inside `bytes`.
std::vector<ByteRange> Clipped(const std::vector<ByteRange>& ranges, const ByteRange& bytes) {
    auto it = std::upper_bound(
        ranges.begin(), ranges.end(), bytes.first,
        [](std::int64_t offset, const ByteRange& range) { return offset < range.end; });
    std::vector<ByteRange> inside;
    for (; it != ranges.end() && it->first < bytes.end; ++it) {
        inside.push_back({std::max(it->first, bytes.first), std::min(it->end, bytes.end)});
    }
    return inside;
}

}  // namespace

std::vector<Collision> FindCollisions(const std::vector<std::vector<ByteRange>>& changes,
                                      const std::vector<OwnedBytes>& owned) {
    std::vector<Collision> collisions = Sweep(changes, 2);
    for (const OwnedBytes& block : owned) {
        std::vector<std::vector<ByteRange>> inside;
        inside.reserve(changes.size());
        for (const std::vector<ByteRange>& ranges : changes) {
            inside.push_back(Clipped(ranges, block.bytes));
        }
        for (Collision& collision : Sweep(inside, 1)) {
            collision.block = block.name;
            collisions.push_back(std::move(collision));
        }
    }
    return collisions;
}

}  // namespace gapwell
