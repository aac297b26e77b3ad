#include "search/SearchSession.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "search/modSearchFreeSpace.h"

namespace gapwell {

namespace {
constexpr std::int64_t kLastOffset = std::numeric_limits<std::int32_t>::max();

// Field readings beyond the 32-bit offsets (possible only through texts the program wrote)
// count as the largest offset, where a search simply finds nothing.
std::int32_t ToOffset(std::int64_t value) {
    return static_cast<std::int32_t>(std::min(value, kLastOffset));
}
}  // namespace

SearchSession::SearchSession(std::string romPath, const SearchFields& fields,
                             std::int64_t lastResult, RunStep runStep, std::vector<KnownMark> known)
    : romPath_(std::move(romPath)),
      fields_(fields),
      search_(lastResult),
      runStep_(std::move(runStep)),
      marks_(std::move(known)) {}

std::optional<MarkedResult> SearchSession::Search() {
    return Marked(search_.Search(ToOffset(fields_.startOffset),
                                 [this](std::int32_t start) { return SearchFrom(start); }));
}

std::optional<MarkedResult> SearchSession::FindNext() {
    return Marked(search_.FindNext(fields_.interval,
                                   [this](std::int32_t start) { return SearchFrom(start); }));
}

std::int32_t SearchSession::SearchFrom(std::int32_t start) {
    std::int32_t result = 0;
    runStep_(Step::Search, [&] {
        if (!known_) {
            known_ = KnownData::Resolve(romPath_, fields_.fillerByte, marks_);
        }
        result = SearchOutsideKnown(*known_, fields_.neededBytes, start, [this](std::int32_t from) {
            return SearchFreeSpace(romPath_, fields_.fillerByte, ToOffset(fields_.neededBytes),
                                   from, kSearchChunkSize, 0);
        });
    });
    return result;
}

std::optional<MarkedResult> SearchSession::Marked(std::optional<std::int32_t> result) {
    if (!result) {
        return std::nullopt;
    }
    MarkedResult marked{*result, {}};
    runStep_(Step::PointerCheck, [&] {
        marked.references =
            FindPointers(romPath_, {{*result, *result + fields_.neededBytes}}, kListedPointers)[0];
    });
    return marked;
}

}  // namespace gapwell
