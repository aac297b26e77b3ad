#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "search/ReadOnlyFile.h"

namespace gapwell {

// Bytes read at a time: small enough that a piece is still in the processor's cache when it is
// scanned right after the copy out of the page cache, large enough that reads cost little.
inline constexpr std::size_t kPieceSize = std::size_t{128} * 1024;

// Reads stretches of a file in pieces into one buffer of its own, handing each piece over as
// soon as it is read.
class PieceReader {
  public:
    // Called with each piece in file order; returns false to stop reading the stretch.
    using Scan = std::function<bool(const std::uint8_t* piece, std::size_t size)>;

    explicit PieceReader(const ReadOnlyFile& file, std::size_t pieceSize = kPieceSize);
    PieceReader(const PieceReader&) = delete;
    PieceReader& operator=(const PieceReader&) = delete;

    // Reads the `size` bytes from `offset` on, or those up to the end of the file, in pieces of at
    // most the piece size, and calls `scan` with each until it returns false.
    void Read(std::int64_t offset, std::int64_t size, const Scan& scan);
    // Reads the whole file front to back and calls `feed` with every piece.
    void ReadWhole(const std::function<void(const std::uint8_t* piece, std::size_t size)>& feed);

  private:
    const ReadOnlyFile& file_;
    std::vector<std::uint8_t> buffer_;
    std::uint8_t* piece_;  // the page-aligned part of buffer_ that pieces are read into
    std::size_t pieceSize_;
};

}  // namespace gapwell
