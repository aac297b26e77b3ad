#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "search/BuildFiles.h"
#include "search/ByteRange.h"
#include "search/FreeRuns.h"

namespace gapwell {

// Known data: bytes of one ROM that a build file says hold data, each with its mark's name.
struct KnownSpan {
    ByteRange range;
    std::string name;
};

// A free run, or a part of one that known data cut, with the names of the marks that bound it
// (none for a run that no mark touches).
struct FreePart {
    FreeRun run;
    std::vector<std::string> cutBy;
};

// The known data of one ROM for one filler byte, with what each command asks of it.
class KnownData {
  public:
    KnownData() = default;
    // Spans inside the ROM, in any order, overlapping or not.
    explicit KnownData(std::vector<KnownSpan> spans);

    // The marks of build files placed in the ROM at `rom`: a sized mark covers its bytes (cut at
    // the ROM's end), one without a size the bytes from its offset to the end of the run of
    // `filler` it starts in (nothing when its first byte is no filler). Marks beyond the ROM
    // cover nothing. Reads the ROM once when some mark has no size. Throws RuntimeError on read
    // failures.
    static KnownData Resolve(const std::string& rom, std::uint8_t filler,
                             const std::vector<KnownMark>& marks);

    bool Empty() const { return spans_.empty(); }
    // The spans, sorted by their first byte.
    const std::vector<KnownSpan>& Spans() const { return spans_; }
    // The known bytes as disjoint ranges in offset order (touching spans joined).
    std::vector<ByteRange> Covered() const;
    std::int64_t CoveredBytes() const;

    // The parts of `run` (a maximal run of filler) that no known byte lies in, in order, each with
    // the names of the marks that end where it begins and begin where it ends.
    std::vector<FreePart> FreeParts(const FreeRun& run) const;
    // The end of the known bytes that hold the first known byte of `range`, joined spans taken
    // together: where a search must go on; `range.first` when no byte of it is known.
    std::int64_t KnownEndFrom(const ByteRange& range) const;
    // The spans that overlap `range`, in order, at most `limit` of them.
    std::vector<const KnownSpan*> SpansIn(const ByteRange& range, std::size_t limit) const;
    // The name of the smallest span that overlaps `range` (the first of equals), or nullptr.
    const std::string* NameIn(const ByteRange& range) const;

  private:
    // A run of joined spans: its bytes and the spans that begin and end it. The spans of a block
    // are those from its first span up to the next block's.
    struct Block {
        ByteRange range;
        std::size_t firstSpan = 0;
        std::size_t lastSpan = 0;
    };
    // The first block that ends after `offset`.
    std::vector<Block>::const_iterator BlockAfter(std::int64_t offset) const;

    std::vector<KnownSpan> spans_;
    std::vector<Block> blocks_;
};

// The marks of the build files `files`, file after file.
std::vector<KnownMark> ReadKnownMarks(const std::vector<std::string>& files);

// The known data that the build files `files` give for the ROM at `rom` and `filler`.
KnownData ReadKnownData(const std::string& rom, std::uint8_t filler,
                        const std::vector<std::string>& files);

// ScanFreeRuns with known data: each maximal run of filler is cut to its free parts, and each part
// whose aligned part holds `needed` bytes is reported (its offset aligned) with the marks that
// bound it. Without known data the same runs as ScanFreeRuns. `words` as for ScanFreeRuns.
void ScanFreeParts(const std::string& path, std::uint8_t filler, std::int64_t needed,
                   std::int64_t align, const KnownData& known,
                   const std::function<void(const FreePart&)>& report,
                   PointerWords* words = nullptr);

// The first offset that `search` finds from `start` on whose `needed` bytes hold no known byte:
// each result that meets known data is searched again from the end of that data. `search`
// returns 0 for nothing found, and so does this.
std::int32_t SearchOutsideKnown(const KnownData& known, std::int64_t needed, std::int64_t start,
                                const std::function<std::int32_t(std::int32_t start)>& search);

}  // namespace gapwell
