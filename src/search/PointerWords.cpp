#include "search/PointerWords.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "search/WordBlocks.h"
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
    // Left unwritten until words are found: the system hands out the memory as it is written.
    chunks_.push_back({std::unique_ptr<Word[]>(new Word[kChunkWords]), 0});
}

void PointerWords::Feed(const std::uint8_t* data, std::size_t size) {
    const std::int64_t end = position_ + static_cast<std::int64_t>(size);
    // A word split between two pieces, or bytes past the length (the file grew while it was
    // read, so words may point past the window), and the words picked out are not all.
    if (!complete_ || position_ % kWordBytes != 0 || end > length_) {
        GiveUp();
        return;
    }
    const std::uint32_t lowest = lowest_;
    const std::uint32_t span = span_;
    const auto firstIndex = static_cast<std::uint32_t>(position_ / kWordBytes);
    // Two blocks at a time, so that the loop over the words found ends (and a branch is
    // mispredicted) once for every 256 bytes, not for every block.
    constexpr std::size_t kGroupWords = 2 * kBlockWords;
    constexpr std::size_t kGroupBytes = kGroupWords * kWordBytes;
    std::size_t group = 0;
    for (; size - group >= kGroupBytes; group += kGroupBytes) {
        std::uint64_t inWindow =
            WordsInWindow(data + group, lowest, span) |
            std::uint64_t{WordsInWindow(data + group + kBlockBytes, lowest, span)} << kBlockWords;
        Word* const room = RoomFor(kGroupWords);
        Word* out = room;
        for (; inWindow != 0; inWindow &= inWindow - 1) {
            const std::size_t at = group + std::countr_zero(inWindow) * kWordBytes;
            *out++ = {firstIndex + static_cast<std::uint32_t>(at / kWordBytes),
                      LittleEndianWord(data + at)};
        }
        Counted(static_cast<std::size_t>(out - room));
    }
    Word* out = RoomFor(kGroupWords);
    for (std::size_t at = group; size - at >= kWordBytes; at += kWordBytes) {
        const std::uint32_t value = LittleEndianWord(data + at);
        if (value - lowest <= span) {
            *out++ = {firstIndex + static_cast<std::uint32_t>(at / kWordBytes), value};
            Counted(1);
        }
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
