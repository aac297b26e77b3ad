#include "search/FindNextSearch.h"

#include <limits>

namespace gapwell {

std::optional<std::int32_t> FindNextSearch::Search(std::int64_t start, const SearchFrom& search) {
    return SearchAndRemember(start, search);
}

std::optional<std::int32_t> FindNextSearch::FindNext(std::int64_t interval,
                                                     const SearchFrom& search) {
    return SearchAndRemember(last_ + interval, search);
}

std::optional<std::int32_t> FindNextSearch::SearchAndRemember(std::int64_t start,
                                                              const SearchFrom& search) {
    if (start < 0 || start > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    const std::int32_t result = search(static_cast<std::int32_t>(start));
    if (result == 0) {
        return std::nullopt;
    }
    last_ = result;
    return result;
}

}  // namespace gapwell
