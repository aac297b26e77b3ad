#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace gapwell {

// "Search" and "Find next" over one ROM: the first result from a start offset, then each next
// result from the last result plus an interval. Offsets are 32-bit: a start beyond 7FFFFFFF has
// nothing left to find, and is never searched.
class FindNextSearch {
  public:
    // Searches from a start offset; 0 means nothing found.
    using SearchFrom = std::function<std::int32_t(std::int32_t start)>;

    // Starts with `lastResult` as the last result, for a window that keeps it in a control.
    explicit FindNextSearch(std::int64_t lastResult = 0) : last_(lastResult) {}

    // The first result at or after `start`; no value when nothing was found.
    std::optional<std::int32_t> Search(std::int64_t start, const SearchFrom& search);
    // The next result, searched from the last result plus `interval`; no value when nothing was
    // found.
    std::optional<std::int32_t> FindNext(std::int64_t interval, const SearchFrom& search);

  private:
    std::optional<std::int32_t> SearchAndRemember(std::int64_t start, const SearchFrom& search);

    std::int64_t last_;
};

}  // namespace gapwell
