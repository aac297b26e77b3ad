#include "search/PieceReader.h"

#include <algorithm>
#include <limits>

namespace gapwell {

namespace {

// The system copies out of the page cache measurably faster into page-aligned memory.
constexpr std::uintptr_t kPageSize = 4096;

}  // namespace

PieceReader::PieceReader(const ReadOnlyFile& file, std::size_t pieceSize)
    : file_(file),
      buffer_(pieceSize + kPageSize - 1),
      piece_(buffer_.data() +
             (kPageSize - reinterpret_cast<std::uintptr_t>(buffer_.data()) % kPageSize) %
                 kPageSize),
      pieceSize_(pieceSize) {}

void PieceReader::Read(std::int64_t offset, std::int64_t size, const Scan& scan) {
    while (size > 0) {
        const auto want =
            static_cast<std::size_t>(std::min(size, static_cast<std::int64_t>(pieceSize_)));
        const std::size_t got = file_.ReadAt(offset, piece_, want);
        if (got == 0 || !scan(piece_, got) || got < want) {
            return;  // the end of the file, or the caller has seen enough
        }
        offset += static_cast<std::int64_t>(got);
        size -= static_cast<std::int64_t>(got);
    }
}

void PieceReader::ReadWhole(
    const std::function<void(const std::uint8_t* piece, std::size_t size)>& feed) {
    Read(0, std::numeric_limits<std::int64_t>::max(),
         [&feed](const std::uint8_t* piece, std::size_t size) {
             feed(piece, size);
             return true;
         });
}

}  // namespace gapwell
