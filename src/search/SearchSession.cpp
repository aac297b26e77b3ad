#include "search/SearchSession.h"

#include <utility>

namespace gapwell {

SearchSession::SearchSession(std::string romPath, SearchQuery& query, RunStep runStep,
                             std::vector<KnownMark> known)
    : romPath_(std::move(romPath)),
      query_(query),
      runStep_(std::move(runStep)),
      marks_(std::move(known)) {}

std::optional<MarkedResult> SearchSession::Search() {
    return Marked(query_.Search([this](std::int32_t start) { return SearchFrom(start); }));
}

std::optional<MarkedResult> SearchSession::FindNext() {
    return Marked(query_.FindNext([this](std::int32_t start) { return SearchFrom(start); }));
}

std::int32_t SearchSession::SearchFrom(std::int32_t start) {
    std::int32_t result = 0;
    runStep_(Step::Search, [&] {
        if (!known_) {
            known_ = KnownData::Resolve(romPath_, query_.options.filler, marks_);
        }
        result = query_.In(romPath_, *known_)(start);
    });
    return result;
}

std::optional<MarkedResult> SearchSession::Marked(std::optional<std::int32_t> result) {
    if (!result) {
        return std::nullopt;
    }
    MarkedResult marked{*result, {}};
    runStep_(Step::PointerCheck, [&] {
        marked.references = FindPointers(romPath_, {{*result, *result + query_.options.needed}},
                                         kListedPointers)[0];
    });
    return marked;
}

}  // namespace gapwell
