#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/HugePageMemory.h"
#include "search/WordBlocks.h"

namespace gapwell {

// The words of a ROM that may point into it at all, picked out while the ROM is read for its runs
// of filler, so that the words pointing into those runs can be counted afterwards without
// reading the ROM again. In a ROM of n bytes a word may point into it when its value lies from
// 0x08000000 to 0x0C000000 + n (the lowest and the highest mirror; see PointerFinder): in game
// data a few words in a hundred.
//
// The ROM is fed from offset 0 in pieces whose sizes are multiples of 4, but for the last one, as
// the file reader hands them over. Memory is bounded: past a limit of words, or when the pieces
// are not as said, the words are dropped and the pointer pass reads the ROM again.
class PointerWords {
  public:
    // Words picked out, side by side: each one's offset divided by 4, and its value.
    struct Columns {
        const std::uint32_t* indices;
        const std::uint32_t* values;
        std::size_t count;
    };

    // 4 Mi words take 32 MiB, as much as the largest GBA ROM.
    static constexpr std::size_t kDefaultLimit = std::size_t{1} << 22;

    explicit PointerWords(std::size_t limit = kDefaultLimit) : limit_(limit) {}

    // Begins a ROM `length` bytes long, forgetting any words picked before.
    void Start(std::int64_t length);
    // The next `size` bytes of the ROM.
    void Feed(const std::uint8_t* data, std::size_t size);
    // The ROM has been fed whole.
    void Finish() { finished_ = complete_; }
    // True when the chunks hold every word of the whole ROM that may point into it.
    bool Complete() const { return finished_; }
    // The words in chunks, in file order.
    std::size_t ChunkCount() const { return chunks_.size(); }
    Columns Chunk(std::size_t chunk) const {
        const WordChunk& words = chunks_[chunk];
        return {words.Indices(), words.Values(), words.count};
    }

  private:
    // Words are kept in chunks of this many (their indices, then their values, in one block of
    // huge pages), so that they are never copied as they grow and take memory as they come.
    static constexpr std::size_t kChunkWords = kHugePageBytes / kWordBytes / 2;
    // A piece is picked from a slice of this many words at a time, each with room for all of its
    // words in one chunk.
    static constexpr std::size_t kSliceWords = std::size_t{1} << 13;
    // Left unwritten until words are found: the system hands out the memory as it is written.
    struct WordChunk {
        HugePageWords words;
        std::size_t count = 0;
        std::uint32_t* Indices() const { return words.get(); }
        std::uint32_t* Values() const { return words.get() + kChunkWords; }
    };

    // Makes room for `words` more words at the end of the last chunk.
    void RoomFor(std::size_t words) {
        if (chunks_.empty() || kChunkWords - chunks_.back().count < words) {
            AddChunk();
        }
    }
    void AddChunk();
    // Counts `written` words written there.
    void Counted(std::size_t written);
    // Drops the words: the pointer pass has to read the ROM.
    void GiveUp();

    std::size_t limit_;
    std::uint32_t lowest_ = 0;
    std::uint32_t span_ = 0;
    std::int64_t length_ = 0;
    std::int64_t position_ = 0;  // ROM offset of the next piece's first byte
    bool complete_ = false;      // every word fed so far is picked out, if it may point
    bool finished_ = false;
    std::vector<WordChunk> chunks_;
    std::size_t wordCount_ = 0;
};

}  // namespace gapwell
