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
    words_.clear();
    lowest_ = kRomBases[0];
    span_ = static_cast<std::uint32_t>(std::min(std::int64_t{kRomBases[2]} + length, kLargestWord) -
                                       lowest_);
    length_ = length;
    position_ = 0;
    complete_ = length <= kLargestIndexedRom;
    finished_ = false;
    // Reserved whole, so that the words are never copied as they grow: the system hands out the
    // memory only as it is written.
    if (complete_) {
        words_.reserve(std::min(limit_, static_cast<std::size_t>(length) / kWordBytes));
    }
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
    const std::int64_t first = position_;
    const auto index = [first](std::size_t at) {
        return static_cast<std::uint32_t>((first + static_cast<std::int64_t>(at)) / kWordBytes);
    };
    // Two blocks at a time, so that the loop over the words found ends (and a branch is
    // mispredicted) once for every 256 bytes, not for every block.
    constexpr std::size_t kPairBytes = 2 * kBlockBytes;
    std::size_t block = 0;
    for (; size - block >= kPairBytes; block += kPairBytes) {
        std::uint64_t inWindow =
            WordsInWindow(data + block, lowest, span) |
            std::uint64_t{WordsInWindow(data + block + kBlockBytes, lowest, span)} << kBlockWords;
        for (; inWindow != 0; inWindow &= inWindow - 1) {
            const std::size_t at = block + std::countr_zero(inWindow) * kWordBytes;
            words_.push_back({index(at), LittleEndianWord(data + at)});
        }
    }
    for (std::size_t at = block; size - at >= kWordBytes; at += kWordBytes) {
        const std::uint32_t value = LittleEndianWord(data + at);
        if (value - lowest <= span) {
            words_.push_back({index(at), value});
        }
    }
    position_ = end;
    if (words_.size() > limit_) {
        GiveUp();
    }
}

void PointerWords::GiveUp() {
    complete_ = false;
    words_.clear();
    words_.shrink_to_fit();
}

}  // namespace gapwell
