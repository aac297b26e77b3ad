#include "cli/KnownReservations.h"

#include <algorithm>
#include <ostream>

#include "cli/ErrorLine.h"
#include "search/KnownData.h"
#include "search/Numbers.h"

namespace gapwell::cli {

namespace {

// The marks named for one run; more are counted.
constexpr std::size_t kNamedMarks = 8;

}  // namespace

void ReserveKnownData(const std::string& rom, const std::vector<std::string>& files,
                      AllocationRequest& request, std::ostream& err) {
    if (files.empty() || request.blocks.empty()) {
        return;
    }
    const KnownData known = ReadKnownData(rom, request.filler, files);
    const std::vector<ByteRange> covered = known.Covered();
    request.reserved.insert(request.reserved.end(), covered.begin(), covered.end());
    const auto smallest =
        std::min_element(request.blocks.begin(), request.blocks.end(),
                         [](const Block& a, const Block& b) { return a.size < b.size; });
    ScanFreeRuns(rom, request.filler, request.margin + smallest->size, 1, [&](const FreeRun& run) {
        const ByteRange range{run.offset, run.offset + run.length};
        const std::vector<const KnownSpan*> spans = known.SpansIn(range, kNamedMarks + 1);
        if (spans.empty()) {
            return;
        }
        err << "known data in the run at " << ToHex(static_cast<std::uint64_t>(run.offset)) << " ("
            << run.length << " bytes):";
        for (std::size_t i = 0; i < spans.size() && i < kNamedMarks; ++i) {
            err << (i == 0 ? " " : ", ") << EscapeControlCharacters(spans[i]->name);
        }
        err << (spans.size() > kNamedMarks ? " and more\n" : "\n");
    });
}

}  // namespace gapwell::cli
