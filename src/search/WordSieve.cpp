#include "search/WordSieve.h"

#include <bit>
#include <cstring>
#include <utility>

#ifdef GAPWELL_X86_VECTORS
#include <immintrin.h>
#endif

namespace gapwell {

namespace {

constexpr std::int64_t kLargestWord = 0xFFFFFFFF;
// The granule table has about this many bits for each range, and at least kLeastGranules
// (128 KiB, which stays in the processor's cache while pointing at a few ranges finely).
constexpr std::int64_t kGranulesPerRange = 32;
constexpr std::int64_t kLeastGranules = std::int64_t{1} << 20;

}  // namespace

#ifdef GAPWELL_X86_VECTORS

// FeedWords eight words at a time: the granules of eight values are read in one gather. Returns
// how many words it sifted, a multiple of 8; the caller sifts the rest.
__attribute__((target("avx2"))) std::size_t WordSieve::SiftColumnsAvx2(
    const GranuleView& view, const PointerWords::Columns& words, const Sink& sink) {
    constexpr std::size_t kLanes = 8;
    const __m256i lowestWord = _mm256_set1_epi32(static_cast<int>(view.lowestWord));
    const __m256i sentinel = _mm256_set1_epi32(static_cast<int>(view.sentinelGranule));
    const __m256i lowBits = _mm256_set1_epi32(31);
    const __m128i shift = _mm_cvtsi32_si128(view.granuleShift);
    // The table read as 32-bit words: on a little-endian machine bit g of the table is bit g % 32
    // of 32-bit word g / 32.
    const auto* const table = reinterpret_cast<const int*>(view.granules);
    std::size_t word = 0;
    for (; words.count - word >= kLanes; word += kLanes) {
        const __m256i values =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(words.values + word));
        const __m256i granules = _mm256_min_epu32(
            _mm256_srl_epi32(_mm256_sub_epi32(values, lowestWord), shift), sentinel);
        const __m256i tableWords =
            _mm256_i32gather_epi32(table, _mm256_srli_epi32(granules, 5), sizeof(int));
        // Each granule's bit moved to the sign bit, which movemask collects.
        const __m256i signBits = _mm256_sllv_epi32(
            tableWords, _mm256_sub_epi32(lowBits, _mm256_and_si256(granules, lowBits)));
        for (auto mayPoint =
                 static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(signBits)));
             mayPoint != 0; mayPoint &= mayPoint - 1) {
            const std::size_t at = word + static_cast<std::size_t>(std::countr_zero(mayPoint));
            sink(std::int64_t{words.indices[at]} * kWordBytes, words.values[at]);
        }
    }
    return word;
}

#endif

WordSieve::WordSieve(const std::vector<ByteRange>& ranges, Sink sink) : sink_(std::move(sink)) {
    if (ranges.empty()) {
        return;
    }
    // A word points into some range only when its value lies between the lowest first byte in
    // the lowest mirror and the highest end in the highest mirror (the end itself with the Thumb
    // bit set points at the last byte). Values beyond 32 bits are no word's.
    const std::int64_t lowest = std::int64_t{kRomBases[0]} + ranges.front().first;
    const std::int64_t highest =
        std::min<std::int64_t>(std::int64_t{kRomBases[2]} + ranges.back().end, kLargestWord);
    if (lowest > highest) {
        return;
    }
    const std::int64_t bits = std::max<std::int64_t>(
        kLeastGranules, kGranulesPerRange * static_cast<std::int64_t>(ranges.size()));
    while (((highest - lowest) >> granuleShift_) >= bits) {
        ++granuleShift_;
    }
    lowestWord_ = static_cast<std::uint32_t>(lowest >> granuleShift_ << granuleShift_);
    wordSpan_ = static_cast<std::uint32_t>(highest - lowestWord_);
    sentinelGranule_ = (wordSpan_ >> granuleShift_) + 1;
    granules_.resize(sentinelGranule_ / 64 + 1);
    for (const std::uint32_t base : kRomBases) {
        for (const ByteRange& range : ranges) {
            const std::int64_t first = base + range.first;
            const std::int64_t last = std::min<std::int64_t>(base + range.end - 1, kLargestWord);
            if (first <= last) {
                SetGranules(static_cast<std::uint32_t>((first - lowestWord_) >> granuleShift_),
                            static_cast<std::uint32_t>((last - lowestWord_) >> granuleShift_));
            }
        }
    }
}

void WordSieve::SetGranules(std::uint32_t first, std::uint32_t last) {
    const std::uint64_t all = ~std::uint64_t{0};
    for (std::uint32_t word = first / 64; word <= last / 64; ++word) {
        std::uint64_t bits = all;
        if (word == first / 64) {
            bits &= all << (first % 64);
        }
        if (word == last / 64) {
            bits &= all >> (63 - last % 64);
        }
        granules_[word] |= bits;
    }
}

void WordSieve::Feed(const std::uint8_t* data, std::size_t size) {
    if (granules_.empty()) {
        return;  // no word can point into any range
    }
    std::size_t i = 0;
    if (partialSize_ > 0) {
        const std::size_t taken = std::min(kWordBytes - partialSize_, size);
        std::copy(data, data + taken, partial_ + partialSize_);
        partialSize_ += taken;
        i = taken;
        if (partialSize_ == kWordBytes) {
            const std::uint32_t value = LittleEndianWord(partial_);
            if (View().MayPointIntoAny(value) != 0) {
                sink_(position_ - static_cast<std::int64_t>(kWordBytes - taken), value);
            }
            partialSize_ = 0;
        }
    }
    // In a typical ROM most blocks hold no word that points near any range.
    for (; size - i >= kBlockBytes; i += kBlockBytes) {
        if (WordsInWindow(data + i, lowestWord_, wordSpan_) != 0) {
            SiftWords(data, i, i + kBlockBytes);
        }
    }
    const std::size_t wholeWordsEnd = size - (size - i) % kWordBytes;
    SiftWords(data, i, wholeWordsEnd);
    // A word that the next piece completes.
    std::copy(data + wholeWordsEnd, data + size, partial_ + partialSize_);
    partialSize_ += size - wholeWordsEnd;
    position_ += static_cast<std::int64_t>(size);
}

void WordSieve::FeedWords(const PointerWords::Columns& words) {
    if (granules_.empty()) {
        return;
    }
    const GranuleView view = View();
    std::size_t word = 0;
#ifdef GAPWELL_X86_VECTORS
    if (ProcessorHasAvx2()) {
        word = SiftColumnsAvx2(view, words, sink_);
    }
#endif
    for (; word < words.count; ++word) {
        const std::uint32_t value = words.values[word];
        if (view.MayPointIntoAny(value) != 0) {
            sink_(std::int64_t{words.indices[word]} * kWordBytes, value);
        }
    }
}

void WordSieve::SiftWords(const std::uint8_t* data, std::size_t from, std::size_t to) {
    // The table is asked for every word without a branch, and only the words it lets through are
    // handed on one by one: in a large ROM, many words point near some range.
    // Bit k for the k-th word, filled from the last word down so that no shift by a variable
    // count is needed.
    const GranuleView view = View();
    std::uint32_t mayPoint = 0;
    for (std::size_t at = to; at > from; at -= kWordBytes) {
        mayPoint = mayPoint << 1 | view.MayPointIntoAny(LittleEndianWord(data + at - kWordBytes));
    }
    for (; mayPoint != 0; mayPoint &= mayPoint - 1) {
        const std::size_t at =
            from + static_cast<std::size_t>(std::countr_zero(mayPoint)) * kWordBytes;
        sink_(position_ + static_cast<std::int64_t>(at), LittleEndianWord(data + at));
    }
}

}  // namespace gapwell
