#include <algorithm>
#include <cerrno>
#include <map>
#include <set>

#include "alloc/Allocation.h"
#include "alloc/FillerRuns.h"
#include "alloc/FreeStretches.h"
#include "base/RuntimeError.h"
#include "search/Numbers.h"

namespace gapwell {

namespace {

// The largest alignment a block may ask for.
constexpr std::int64_t kLargestAlign = std::int64_t{1} << 30;

[[noreturn]] void Refuse(const std::string& message) {
    throw RuntimeError(EINVAL, message);
}

bool IsPowerOfTwo(std::int64_t value) {
    return value > 0 && (value & (value - 1)) == 0;
}

void CheckBlock(const std::string& name, std::int64_t size, std::int64_t align) {
    if (!IsBlockName(name)) {
        Refuse("bad block name \"" + name +
               "\" (letters, digits and _, not starting with a digit)");
    }
    if (size < 1 || size > kLargestOffset) {
        Refuse("bad size for block " + name + ": " + std::to_string(size));
    }
    if (!IsPowerOfTwo(align) || align > kLargestAlign) {
        Refuse("bad alignment for block " + name + ": " + std::to_string(align));
    }
}

void CheckRange(const ByteRange& range, const std::string& what) {
    if (range.first < 0 || range.first >= range.end || range.end > kLargestOffset + 1) {
        Refuse("bad " + what + ": " + std::to_string(range.first) + " to " +
               std::to_string(range.end));
    }
}

void CheckRequest(const AllocationRequest& request) {
    std::set<std::string> names;
    for (const Block& block : request.blocks) {
        CheckBlock(block.name, block.size, block.align);
        if (!names.insert(block.name).second) {
            Refuse("block " + block.name + " is asked for twice");
        }
    }
    names.clear();
    for (const Placement& place : request.earlier) {
        CheckBlock(place.name, place.size, place.align);
        CheckRange({place.offset, place.End()}, "place of earlier block " + place.name);
        if (!names.insert(place.name).second) {
            Refuse("earlier block " + place.name + " is named twice");
        }
    }
    for (const ByteRange& range : request.reserved) {
        CheckRange(range, "reserved range");
    }
    CheckRange(request.range, "range");
    if (request.length < 0 || request.length > kLargestOffset) {
        Refuse("bad length to grow the ROM to: " + std::to_string(request.length));
    }
    if (request.margin < 0 || request.margin > kLargestOffset) {
        Refuse("bad margin: " + std::to_string(request.margin));
    }
}

std::vector<Placement> ByOffset(std::vector<Placement> places) {
    std::sort(places.begin(), places.end(),
              [](const Placement& a, const Placement& b) { return a.offset < b.offset; });
    for (std::size_t i = 1; i < places.size(); ++i) {
        if (places[i].offset < places[i - 1].End()) {
            Refuse("earlier blocks " + places[i - 1].name + " and " + places[i].name + " overlap");
        }
    }
    return places;
}

bool Overlaps(const ByteRange& range, const std::vector<ByteRange>& others) {
    return std::any_of(others.begin(), others.end(), [&range](const ByteRange& other) {
        return other.first < range.end && range.first < other.end;
    });
}

// Whether `bytes` lie inside one of the runs (sorted, disjoint).
bool InsideOneRun(const ByteRange& bytes, const std::vector<FillerRun>& runs) {
    auto after = std::upper_bound(
        runs.begin(), runs.end(), bytes.first,
        [](std::int64_t offset, const FillerRun& run) { return offset < run.first; });
    return after != runs.begin() && std::prev(after)->end >= bytes.end;
}

// A block of the ledger that lies in a reserved range or outside the range was placed under other
// rules: keeping it silently would break the new ones.
void RefuseConflict(const Placement& place, const AllocationRequest& request) {
    const ByteRange bytes{place.offset, place.End()};
    const bool reserved = Overlaps(bytes, request.reserved);
    if (reserved || bytes.first < request.range.first || bytes.end > request.range.end) {
        Refuse("conflict: block " + place.name + " of the ledger (at " +
               ToHex(static_cast<std::uint64_t>(place.offset)) + ", " + std::to_string(place.size) +
               " bytes) lies " + (reserved ? "in a reserved range" : "outside the range to use") +
               "; forget it or change the ranges");
    }
}

// The earlier blocks sorted out: those that keep their places and those that must be placed.
struct EarlierBlocks {
    std::vector<Placement> keptAsked;  // asked for again, at their places, with their new sizes
    std::vector<Placement> keptOther;  // no longer asked for, reserved
    std::vector<std::pair<Placement, Block>> grown;  // asked for, larger now: decided later
    std::vector<Placement> moved;                    // asked for, must move
    std::vector<Block> toPlace;                      // new blocks and those that move
};

EarlierBlocks SortOutEarlier(const AllocationRequest& request) {
    std::map<std::string, Block> asked;
    for (const Block& block : request.blocks) {
        asked.emplace(block.name, block);
    }
    const std::set<std::string> forgotten(request.forget.begin(), request.forget.end());
    EarlierBlocks earlier;
    std::set<std::string> remembered;
    for (const Placement& place : ByOffset(request.earlier)) {
        if (forgotten.count(place.name) != 0) {
            // Placed anew when still asked for: it moves unless it lands where it was.
            if (asked.count(place.name) != 0) {
                earlier.moved.push_back(place);
            }
            continue;
        }
        RefuseConflict(place, request);
        remembered.insert(place.name);
        const auto block = asked.find(place.name);
        if (block == asked.end()) {
            earlier.keptOther.push_back(place);
        } else if (place.offset % block->second.align != 0) {
            earlier.moved.push_back(place);
            earlier.toPlace.push_back(block->second);
        } else if (block->second.size <= place.size) {
            earlier.keptAsked.push_back(
                {place.name, place.offset, block->second.size, block->second.align});
        } else {
            earlier.grown.emplace_back(place, block->second);
        }
    }
    for (const Block& block : request.blocks) {
        if (remembered.count(block.name) == 0) {
            earlier.toPlace.push_back(block);
        }
    }
    return earlier;
}

std::int64_t SmallestSize(const std::vector<Block>& blocks) {
    return std::min_element(blocks.begin(), blocks.end(),
                            [](const Block& a, const Block& b) { return a.size < b.size; })
        ->size;
}

// Runs shorter than the margin and the smallest block asked for are no free space.
std::int64_t ShortestFreeRun(const AllocationRequest& request) {
    return request.margin + (request.blocks.empty() ? 1 : SmallestSize(request.blocks));
}

// The shortest run that could take a byte of any block: a free run, or the bytes a grown block
// grew by.
std::int64_t ShortestUsefulRun(const EarlierBlocks& earlier, const AllocationRequest& request) {
    std::int64_t shortest = ShortestFreeRun(request);
    for (const auto& [place, block] : earlier.grown) {
        shortest = std::min(shortest, block.size - place.size);
    }
    return shortest;
}

// Keeps each grown block at its place when the bytes it grew into are filler inside the range,
// clear of everything else; moves it otherwise. `taken` holds every byte no new block may take.
void DecideGrown(EarlierBlocks& earlier, const AllocationRequest& request,
                 const std::vector<FillerRun>& runs, std::vector<ByteRange>& taken) {
    for (const auto& [place, block] : earlier.grown) {
        const ByteRange growth{place.End(), place.offset + block.size};
        const bool fits = growth.first >= request.range.first && growth.end <= request.range.end &&
                          InsideOneRun(growth, runs) && !Overlaps(growth, taken);
        if (fits) {
            earlier.keptAsked.push_back({place.name, place.offset, block.size, block.align});
            taken.push_back(growth);
        } else {
            earlier.moved.push_back(place);
            earlier.toPlace.push_back(block);
            // Its earlier place is free again. (A structured binding is not captured: older
            // compilers, the browser build's among them, refuse that.)
            const ByteRange earlierPlace{place.offset, place.End()};
            const auto own =
                std::find_if(taken.rbegin(), taken.rend(), [&earlierPlace](const ByteRange& r) {
                    return r.first == earlierPlace.first && r.end == earlierPlace.end;
                });
            taken.erase(std::next(own).base());
        }
    }
}

}  // namespace

bool IsBlockName(const std::string& name) {
    const auto isLetter = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    };
    return !name.empty() && isLetter(name[0]) &&
           std::all_of(name.begin(), name.end(),
                       [&isLetter](char c) { return isLetter(c) || (c >= '0' && c <= '9'); });
}

std::vector<Placement> Allocation::Ledger() const {
    std::vector<Placement> ledger = placed;
    ledger.insert(ledger.end(), kept.begin(), kept.end());
    std::sort(ledger.begin(), ledger.end(),
              [](const Placement& a, const Placement& b) { return a.offset < b.offset; });
    return ledger;
}

Allocation AllocateBlocks(const std::string& path, const AllocationRequest& request) {
    CheckRequest(request);
    EarlierBlocks earlier = SortOutEarlier(request);
    const std::vector<FillerRun> runs = SurveyFillerRuns(
        path, request.filler, ShortestUsefulRun(earlier, request), request.margin, request.length);

    std::vector<ByteRange> taken = request.reserved;
    for (const auto* places : {&earlier.keptAsked, &earlier.keptOther}) {
        for (const Placement& place : *places) {
            taken.push_back({place.offset, place.End()});
        }
    }
    for (const auto& grown : earlier.grown) {
        taken.push_back({grown.first.offset, grown.first.End()});
    }
    DecideGrown(earlier, request, runs, taken);

    const std::int64_t shortestRun = ShortestFreeRun(request);
    std::vector<ByteRange> usable;
    for (const FillerRun& run : runs) {
        const std::int64_t first = std::max(run.first + request.margin, request.range.first);
        const std::int64_t end = std::min(run.end, request.range.end);
        if (!run.pointedAt && run.end - run.first >= shortestRun && first < end) {
            usable.push_back({first, end});
        }
    }
    FreeStretches free;
    for (const ByteRange& stretch : Subtract(usable, taken)) {
        free.Add(stretch);
    }

    std::sort(earlier.toPlace.begin(), earlier.toPlace.end(), [](const Block& a, const Block& b) {
        return a.size != b.size ? a.size > b.size : a.name < b.name;
    });
    Allocation allocation;
    allocation.placed = earlier.keptAsked;
    for (const Block& block : earlier.toPlace) {
        if (const auto offset = free.Take(block.size, block.align)) {
            allocation.placed.push_back({block.name, *offset, block.size, block.align});
        } else {
            allocation.unplaced.push_back(block);
        }
    }
    std::sort(allocation.placed.begin(), allocation.placed.end(),
              [](const Placement& a, const Placement& b) { return a.offset < b.offset; });
    // A block that grew out of its place may find it again once others have moved.
    for (const Placement& place : ByOffset(earlier.moved)) {
        const bool samePlace = std::any_of(
            allocation.placed.begin(), allocation.placed.end(), [&place](const Placement& p) {
                return p.name == place.name && p.offset == place.offset;
            });
        if (!samePlace) {
            allocation.moved.push_back(place);
        }
    }
    allocation.kept = earlier.keptOther;
    allocation.largestFree = free.Longest();
    return allocation;
}

}  // namespace gapwell
