#include "search/PieceReader.h"

#include <algorithm>

namespace gapwell {

PieceReader::PieceReader(const ReadOnlyFile& file, std::size_t pieceSize)
    : file_(file), buffer_(pieceSize) {}

void PieceReader::Read(std::int64_t offset, std::int64_t size, const Scan& scan) {
    while (size > 0) {
        const auto want =
            static_cast<std::size_t>(std::min<std::int64_t>(size, std::ssize(buffer_)));
        const std::size_t got = file_.ReadAt(offset, buffer_.data(), want);
        if (got == 0 || !scan(buffer_.data(), got) || got < want) {
            return;  // the end of the file, or the caller has seen enough
        }
        offset += static_cast<std::int64_t>(got);
        size -= static_cast<std::int64_t>(got);
    }
}

}  // namespace gapwell
