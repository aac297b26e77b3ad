#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

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
    // A word picked out: its offset divided by 4 and its value. (No member initializers: the
    // room for words is not written before they are.)
    struct Word {
        std::uint32_t index;
        std::uint32_t value;
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
    std::span<const Word> Chunk(std::size_t chunk) const {
        return {chunks_[chunk].words.get(), chunks_[chunk].count};
    }

  private:
    // Words are kept in chunks of this many, so that they are never copied as they grow and
    // take memory as they come.
    static constexpr std::size_t kChunkWords = std::size_t{1} << 16;
    struct WordChunk {
        std::unique_ptr<Word[]> words;
        std::size_t count = 0;
    };

    // The next `groupWords` words may be written at the end of the last chunk.
    Word* RoomFor(std::size_t groupWords) {
        if (chunks_.empty() || kChunkWords - chunks_.back().count < groupWords) {
            AddChunk();
        }
        return chunks_.back().words.get() + chunks_.back().count;
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
