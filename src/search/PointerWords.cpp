#include "search/PointerWords.h"

#include <algorithm>
#include <limits>

#include "search/WordBlocks.h"
#include "search/WordPicker.h"
#include "search/WordSieve.h"

namespace gapwell {

namespace {

constexpr std::int64_t kLargestWord = std::numeric_limits<std::uint32_t>::max();
// Offsets divided by 4 fit a 32-bit index up to here.
constexpr std::int64_t kLargestIndexedRom = (kLargestWord + 1) * std::int64_t{kWordBytes};

}  // namespace

void PointerWords::Start(std::int64_t length) {
    chunks_.clear();
    wordCount_ = 0;
    lowest_ = kRomBases[0];
    span_ = static_cast<std::uint32_t>(std::min(std::int64_t{kRomBases[2]} + length, kLargestWord) -
                                       lowest_);
    length_ = length;
    position_ = 0;
    complete_ = length <= kLargestIndexedRom;
    finished_ = false;
}

void PointerWords::AddChunk() {
    chunks_.push_back({AllocateHugePageWords(), 0});
}

void PointerWords::Feed(const std::uint8_t* data, std::size_t size) {
    const std::int64_t end = position_ + static_cast<std::int64_t>(size);
    // A word split between two pieces, or bytes past the length (the file grew while it was
    // read, so words may point past the window), and the words picked out are not all.
    if (!complete_ || position_ % kWordBytes != 0 || end > length_) {
        GiveUp();
        return;
    }
    const WordPicker pick = FastestWordPicker();
    const auto firstIndex = static_cast<std::uint32_t>(position_ / kWordBytes);
    for (std::size_t at = 0; size - at >= kWordBytes;) {
        const std::size_t slice = std::min(size - at, kSliceWords * kWordBytes) / kWordBytes;
        RoomFor(slice);
        WordChunk& chunk = chunks_.back();
        Counted(pick(data + at, slice * kWordBytes,
                     firstIndex + static_cast<std::uint32_t>(at / kWordBytes), lowest_, span_,
                     {chunk.Indices() + chunk.count, chunk.Values() + chunk.count}));
        at += slice * kWordBytes;
    }
    position_ = end;
    if (wordCount_ > limit_) {
        GiveUp();
    }
}

void PointerWords::Counted(std::size_t written) {
    chunks_.back().count += written;
    wordCount_ += written;
}

void PointerWords::GiveUp() {
    complete_ = false;
    chunks_.clear();
    wordCount_ = 0;
}

}  // namespace gapwell
