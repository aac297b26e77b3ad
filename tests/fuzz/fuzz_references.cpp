// The pointer finder and the aligned search against the plain references in tests/support:
// PointerFinder fed in pieces of fuzzed sizes, and SearchFreeSpace over a file in memory with a
// fuzzed chunk size, start and alignment. Any mismatch aborts.
#include <cstdlib>
#include <vector>

#include "MemoryFile.h"
#include "search/Pointers.h"
#include "search/modSearchFreeSpace.h"
#include "support/PointersReference.h"

namespace {

// Ranges from the header bytes: pairs of (gap, length), disjoint and rising, or ranges of one
// `length` at rising offsets that may overlap.
std::vector<gapwell::ByteRange> RangesFrom(const std::uint8_t* bytes, std::size_t count,
                                           bool overlapping, std::int64_t length) {
    std::vector<gapwell::ByteRange> ranges;
    std::int64_t at = 0;
    for (std::size_t i = 0; i + 1 < count; i += 2) {
        at += bytes[i] % 64;
        ranges.push_back({at, at + (overlapping ? length : bytes[i + 1] % 64)});
        if (!overlapping) {
            at = ranges.back().end;
        }
    }
    return ranges;
}

}  // namespace

// Input: piece size, filler, needed, start, chunk size, alignment exponent, range count, the
// range bytes, then the ROM.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    if (size < 7 || size < 7U + input[6] % 16U) {
        return 0;
    }
    const std::size_t piece = 1 + input[0];
    const std::uint8_t filler = input[1];
    const std::int64_t needed = 1 + input[2] % 32;
    const std::int64_t start = input[3];
    const std::int64_t chunk = needed + input[4];
    const std::int64_t alignment = std::int64_t{1} << (input[5] % 9);
    const std::size_t rangeBytes = input[6] % 16U;
    const auto ranges = RangesFrom(input + 7, rangeBytes, (input[6] & 0x80) != 0, input[0] % 64);
    const std::vector<std::uint8_t> rom(input + 7 + rangeBytes, input + size);

    gapwell::PointerFinder finder(ranges, gapwell::kListEveryPointer);
    for (std::size_t at = 0; at < rom.size(); at += piece) {
        finder.Feed(rom.data() + at, std::min(piece, rom.size() - at));
    }
    if (finder.Pointers() != gapwell::test::ReferencePointers(rom, ranges)) {
        std::abort();
    }

    static gapwell::fuzz::MemoryFile file;
    file.Set(rom.data(), rom.size());
    const std::int64_t found = gapwell::SearchFreeSpace(
        file.Path(), filler, static_cast<std::int32_t>(needed), static_cast<std::int32_t>(start),
        static_cast<std::int32_t>(chunk), 0, static_cast<std::int32_t>(alignment));
    if (found !=
        gapwell::test::ReferenceAlignedSearch(rom, filler, needed, start, chunk, alignment)) {
        std::abort();
    }
    return 0;
}
