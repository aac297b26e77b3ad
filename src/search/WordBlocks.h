#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace gapwell {

// A ROM's words are 4 bytes, little-endian, at offsets that are multiples of 4. The pointer
// passes look at them a block at a time: a block of 32 words is 128 bytes, eight 16-byte vectors
// (SSE2 on x86, SIMD128 in WebAssembly when the build enables it), which is tested in a few
// instructions while the piece that holds it is still in the processor's cache.
inline constexpr std::size_t kWordBytes = 4;
inline constexpr std::size_t kBlockWords = 32;
inline constexpr std::size_t kBlockBytes = kBlockWords * kWordBytes;

inline std::uint32_t LittleEndianWord(const std::uint8_t* bytes) {
    std::uint32_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::little) {
        return word;
    } else {
        return (word & 0xFF) << 24 | (word & 0xFF00) << 8 | (word >> 8 & 0xFF00) | word >> 24;
    }
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// x86 processors with AVX2 (about every one since 2013) take the passes' wider paths, built for
// AVX2 alone and chosen while the program runs.
#define GAPWELL_X86_VECTORS 1
inline bool ProcessorHasAvx2() {
    static const bool hasAvx2 = __builtin_cpu_supports("avx2") != 0;
    return hasAvx2;
}
#endif

#if defined(__GNUC__)
namespace word_lanes {
using Words = std::uint32_t __attribute__((vector_size(16)));
using Signed = std::int32_t __attribute__((vector_size(16)));
inline constexpr std::size_t kPerVector = sizeof(Words) / kWordBytes;

// The 32 bits of the lanes ORed together, through 64-bit lanes: two register moves.
inline std::uint32_t Folded(Words lanes) {
    using Halves = std::uint64_t __attribute__((vector_size(16)));
    const Halves halves = reinterpret_cast<Halves>(lanes);
    const std::uint64_t folded = halves[0] | halves[1];
    return static_cast<std::uint32_t>(folded | folded >> 32);
}
}  // namespace word_lanes
#endif

// Bit k set when word k of the block at `block` (kBlockBytes bytes) has a value from `lowest` to
// `lowest + span`, both included (`span` below 2^32 - 1). Compilers without vector types (and
// big-endian machines) test the words one by one, without a branch for each.
inline std::uint32_t WordsInWindow(const std::uint8_t* block, std::uint32_t lowest,
                                   std::uint32_t span) {
#if defined(__GNUC__)
    if constexpr (std::endian::native == std::endian::little) {
        using word_lanes::Folded;
        using word_lanes::kPerVector;
        using word_lanes::Signed;
        using word_lanes::Words;
        // value - lowest <= span, unsigned, is one signed comparison once both sides are moved
        // by 2^31.
        constexpr std::uint32_t kSignBit = 0x80000000;
        const std::uint32_t shift = kSignBit - lowest;
        const auto limit = static_cast<std::int32_t>((span + 1) ^ kSignBit);
        Words bits{};
        Words laneBit{1, 2, 4, 8};
#pragma GCC unroll 8
        for (std::size_t at = 0; at < kBlockBytes; at += sizeof(Words), laneBit <<= kPerVector) {
            Words words;
            std::memcpy(&words, block + at, sizeof words);
            bits |=
                reinterpret_cast<Words>(reinterpret_cast<Signed>(words + shift) < limit) & laneBit;
        }
        return Folded(bits);
    }
#endif
    std::uint32_t bits = 0;
    for (std::size_t word = kBlockWords; word-- > 0;) {
        bits = bits << 1 | static_cast<std::uint32_t>(
                               LittleEndianWord(block + word * kWordBytes) - lowest <= span);
    }
    return bits;
}

}  // namespace gapwell
