#include "search/WordPicker.h"

#include <array>
#include <bit>

#ifdef GAPWELL_X86_VECTORS
#include <immintrin.h>
#endif

namespace gapwell {

std::size_t PickWordsPortable(const std::uint8_t* data, std::size_t size, std::uint32_t firstIndex,
                              std::uint32_t lowest, std::uint32_t span, WordOutput out) {
    std::size_t picked = 0;
    const auto pick = [&](std::size_t at) {
        out.indices[picked] = firstIndex + static_cast<std::uint32_t>(at / kWordBytes);
        out.values[picked] = LittleEndianWord(data + at);
        ++picked;
    };
    // Two blocks at a time, so that the loop over the words found ends (and a branch is
    // mispredicted) once for every 256 bytes, not for every block.
    constexpr std::size_t kGroupWords = 2 * kBlockWords;
    constexpr std::size_t kGroupBytes = kGroupWords * kWordBytes;
    std::size_t group = 0;
    for (; size - group >= kGroupBytes; group += kGroupBytes) {
        std::uint64_t inWindow =
            WordsInWindow(data + group, lowest, span) |
            std::uint64_t{WordsInWindow(data + group + kBlockBytes, lowest, span)} << kBlockWords;
        for (; inWindow != 0; inWindow &= inWindow - 1) {
            pick(group + std::countr_zero(inWindow) * kWordBytes);
        }
    }
    for (std::size_t at = group; size - at >= kWordBytes; at += kWordBytes) {
        if (LittleEndianWord(data + at) - lowest <= span) {
            pick(at);
        }
    }
    return picked;
}

#ifdef GAPWELL_X86_VECTORS

namespace {

constexpr std::size_t kLanes = 8;
using LaneList = std::array<std::uint32_t, kLanes>;

// For each set of lanes found (bit k for lane k), the lanes found in order, then zeros.
constexpr std::array<LaneList, 256> MakeFoundLanes() {
    std::array<LaneList, 256> table{};
    for (std::size_t found = 0; found < table.size(); ++found) {
        std::size_t next = 0;
        for (std::uint32_t lane = 0; lane < kLanes; ++lane) {
            if ((found >> lane & 1) != 0) {
                table[found][next++] = lane;
            }
        }
    }
    return table;
}

alignas(32) constexpr std::array<LaneList, 256> kFoundLanes = MakeFoundLanes();

}  // namespace

__attribute__((target("avx2,popcnt"))) std::size_t PickWordsAvx2(
    const std::uint8_t* data, std::size_t size, std::uint32_t firstIndex, std::uint32_t lowest,
    std::uint32_t span, WordOutput out) {
    // value - lowest <= span, unsigned, is one signed comparison once both sides are moved by
    // 2^31.
    constexpr std::uint32_t kSignBit = 0x80000000;
    const __m256i shift = _mm256_set1_epi32(static_cast<int>(kSignBit - lowest));
    const __m256i limit = _mm256_set1_epi32(static_cast<int>((span + 1) ^ kSignBit));
    constexpr std::size_t kVectorBytes = kLanes * kWordBytes;
    const __m256i step = _mm256_set1_epi32(static_cast<int>(kLanes));
    // The index of each vector's first word in every lane.
    __m256i firstLane = _mm256_set1_epi32(static_cast<int>(firstIndex));
    std::size_t picked = 0;
    std::size_t at = 0;
    for (; size - at >= kVectorBytes; at += kVectorBytes) {
        const __m256i words = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at));
        const __m256i inWindow = _mm256_cmpgt_epi32(limit, _mm256_add_epi32(words, shift));
        const auto found = static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(inWindow)));
        const __m256i lanes =
            _mm256_load_si256(reinterpret_cast<const __m256i*>(kFoundLanes[found].data()));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out.indices + picked),
                            _mm256_add_epi32(lanes, firstLane));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out.values + picked),
                            _mm256_permutevar8x32_epi32(words, lanes));
        picked += static_cast<std::size_t>(std::popcount(found));
        firstLane = _mm256_add_epi32(firstLane, step);
    }
    return picked + PickWordsPortable(data + at, size - at,
                                      firstIndex + static_cast<std::uint32_t>(at / kWordBytes),
                                      lowest, span, {out.indices + picked, out.values + picked});
}

WordPicker FastestWordPicker() {
    return ProcessorHasAvx2() ? PickWordsAvx2 : PickWordsPortable;
}

#else

WordPicker FastestWordPicker() {
    return PickWordsPortable;
}

#endif

}  // namespace gapwell
