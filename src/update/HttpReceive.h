#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "update/TransferBounds.h"

namespace gapwell {

// The largest announced length accepted; anything above is refused before a byte is stored.
inline constexpr std::int64_t kMaxAnnouncedLength = 256LL * 1024 * 1024;

// A resource received complete: exactly the announced number of bytes.
struct ReceivedBody {
    std::unique_ptr<char[]> bytes;
    std::int32_t size = 0;
};

// Called after each piece has been stored with the running total and the announced length;
// returning false stops the transfer (its data is then discarded).
using PieceHandler = std::function<bool(std::int32_t received, std::int32_t announced)>;

// Fetches `url` (http or https, certificate checked, proxy from the environment) with a GET
// that neither uses nor fills caches. The Content-Length is the announced length: missing,
// 0, negative or above kMaxAnnouncedLength fails. The body goes straight into one buffer of
// exactly that length, in pieces of at most `pieceSize` bytes, `onPiece` after each piece. A
// body longer than announced, a dropped connection, a bound of `bounds` that runs out, or a
// stop asked by `onPiece` fails. Returns the body only when it arrived complete.
std::optional<ReceivedBody> ReceiveResource(const std::string& url, std::int32_t pieceSize,
                                            const TransferBounds& bounds,
                                            const PieceHandler& onPiece);

}  // namespace gapwell
