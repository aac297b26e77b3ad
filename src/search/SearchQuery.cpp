#include "search/SearchQuery.h"

#include <algorithm>
#include <limits>

#include "search/KnownData.h"
#include "search/modSearchFreeSpace.h"

namespace gapwell {

namespace {
constexpr std::int64_t kLastOffset = std::numeric_limits<std::int32_t>::max();
}  // namespace

std::optional<std::int32_t> SearchQuery::Search(const SearchFrom& search) {
    return SearchAndRemember(options.start, search);
}

std::optional<std::int32_t> SearchQuery::FindNext(const SearchFrom& search) {
    return SearchAndRemember(NextStart(), search);
}

SearchQuery::SearchFrom SearchQuery::In(const std::string& rom, const KnownData& known) const {
    return [this, rom, &known](std::int32_t start) {
        // A needed length beyond the 32-bit offsets (possible only through texts the program
        // wrote) counts as the largest, which simply finds nothing.
        const auto needed = static_cast<std::int32_t>(std::min(options.needed, kLastOffset));
        return SearchOutsideKnown(known, options.needed, start, [&](std::int32_t from) {
            return SearchFreeSpace(rom, options.filler, needed, from, kSearchChunkSize, 0,
                                   static_cast<std::int32_t>(options.align));
        });
    };
}

std::optional<std::int32_t> SearchQuery::SearchAndRemember(std::int64_t start,
                                                           const SearchFrom& search) {
    if (start < 0 || start > kLastOffset) {
        return std::nullopt;
    }
    const std::int32_t result = search(static_cast<std::int32_t>(start));
    if (result == 0) {
        return std::nullopt;
    }
    lastResult_ = result;
    return result;
}

}  // namespace gapwell
