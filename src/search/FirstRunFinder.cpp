#include "search/FirstRunFinder.h"

namespace gapwell {

FirstRunFinder::FirstRunFinder(std::uint8_t filler, std::int64_t needed, std::int64_t align,
                               std::int64_t firstOffset)
    : runs_(
          filler, needed, align,
          [this](const FreeRun& run) {
              if (offset_ < 0) {
                  offset_ = run.offset;
              }
          },
          firstOffset) {}

bool FirstRunFinder::Feed(const std::uint8_t* data, std::size_t size) {
    runs_.Feed(data, size);
    // A run that ended in this piece has been reported; one that goes on may be long enough
    // already.
    if (offset_ < 0) {
        if (const std::optional<FreeRun> open = runs_.OpenRun()) {
            offset_ = open->offset;
        }
    }
    return offset_ >= 0;
}

}  // namespace gapwell
