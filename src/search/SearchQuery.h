#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace gapwell {

class KnownData;

// What one search looks for, read anew for each command from the window's fields, the command
// line or the page.
struct SearchOptions {
    std::uint8_t filler = 0xFF;
    std::int64_t needed = 256;
    // Where Search starts: 0 when the search is from the beginning of the ROM.
    std::int64_t start = 0;
    // How far past the last result Find next goes on.
    std::int64_t interval = 16;
    // Results are multiples of this power of two (1 aligns nothing).
    std::int64_t align = 1;
};

// "Search" and "Find next" over one ROM, the same for the window, the command line and the
// page: the first result from the start offset, then each next result from the last result plus
// the interval. The last result starts at 0 and changes only when a search finds something.
// Offsets are 32-bit: a start beyond 7FFFFFFF has nothing left to find, and is never searched.
class SearchQuery {
  public:
    // Searches from a start offset; 0 means nothing found.
    using SearchFrom = std::function<std::int32_t(std::int32_t start)>;

    explicit SearchQuery(const SearchOptions& searchOptions = {}, std::int64_t lastResult = 0)
        : options(searchOptions), lastResult_(lastResult) {}

    // The first result at or after options.start; no value when nothing was found.
    std::optional<std::int32_t> Search(const SearchFrom& search);
    // The next result, searched from NextStart(); no value when nothing was found.
    std::optional<std::int32_t> FindNext(const SearchFrom& search);

    std::int64_t LastResult() const { return lastResult_; }
    // Where Find next starts: the last result plus the interval.
    std::int64_t NextStart() const { return lastResult_ + options.interval; }

    // The search of the ROM at `rom` with the options as they are when it runs: the first run
    // of options.needed filler bytes from a start, in the 1 MiB chunks of every search, whose
    // bytes hold no byte of `known` (the query and `known` must outlive the result). Throws
    // RuntimeError when the ROM cannot be read.
    SearchFrom In(const std::string& rom, const KnownData& known) const;

    SearchOptions options;

  private:
    std::optional<std::int32_t> SearchAndRemember(std::int64_t start, const SearchFrom& search);

    std::int64_t lastResult_;
};

}  // namespace gapwell
