#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "search/KnownData.h"
#include "search/Pointers.h"
#include "search/SearchQuery.h"

namespace gapwell {

// A result and the words that point at it and into its needed bytes. Only words pointing exactly
// at the result mark it: words pointing into the middle of a long run are common by chance in
// compressed or graphics data, so they are counted, never alarmed on.
struct MarkedResult {
    std::int32_t offset = 0;
    RangePointers references;
};

// "Search" and "Find next" of a query over one ROM, each followed by the pointer check of its
// result. The caller keeps the query, and with it the last result, the base of Find next.
class SearchSession {
  public:
    // The steps that may fail, so that the caller can report each under its own name.
    enum class Step { Search, PointerCheck };
    // Runs one step, under the caller's error handling. A search step that fails and is skipped
    // finds nothing; a pointer check that fails and is skipped leaves the result unmarked.
    using RunStep = std::function<void(Step, const std::function<void()>& body)>;

    // The mark lists this many pointers at a result and counts the rest.
    static constexpr std::size_t kListedPointers = 8;

    // Results never meet the known data that `known` (marks of build files) gives.
    SearchSession(std::string romPath, SearchQuery& query, RunStep runStep,
                  std::vector<KnownMark> known = {});

    // The query's Search or Find next; no value when nothing was found.
    std::optional<MarkedResult> Search();
    std::optional<MarkedResult> FindNext();

  private:
    // One search from `start`, as a step; 0 when nothing was found or the step was skipped.
    std::int32_t SearchFrom(std::int32_t start);
    // The pointer check of a result, as a step.
    std::optional<MarkedResult> Marked(std::optional<std::int32_t> result);

    std::string romPath_;
    SearchQuery& query_;
    RunStep runStep_;
    std::vector<KnownMark> marks_;
    // The marks placed in the ROM for the filler byte, at the first search.
    std::optional<KnownData> known_;
};

}  // namespace gapwell
