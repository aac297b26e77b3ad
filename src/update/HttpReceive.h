#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "update/TransferBounds.h"

namespace gapwell {

// A resource received complete: exactly the announced number of bytes.
struct ReceivedBody {
    std::unique_ptr<char[]> bytes;
    std::int32_t size = 0;
};

// Called after each piece has been stored with the running total and the announced length;
// returning false stops the transfer (its data is then discarded).
using PieceHandler = std::function<bool(std::int32_t received, std::int32_t announced)>;
// Called while the transfer waits for the network, at least every kWaitSlice when no piece
// arrives; returning false stops the transfer.
using WaitHandler = std::function<bool()>;

// How often a waiting transfer hands control back to its caller.
inline constexpr std::chrono::milliseconds kWaitSlice{50};

// A URL that may be requested: "http://" or "https://" followed by at least one character,
// with no NUL, no other control character and no blank anywhere.
bool IsSendableUrl(std::string_view url);

// Fetches `url` (see IsSendableUrl; certificate checked, proxy from the environment) with a GET
// that neither uses nor fills caches. Redirects stay within the URL's own scheme, except that
// http may move up to https. The Content-Length is the announced length: missing, 0, negative
// or above `bounds.maxBytes` fails before the body is read. The body goes straight into one
// buffer of exactly that length, in pieces of at most `pieceSize` bytes, `onPiece` after each
// piece. A body longer than announced, a dropped connection, a bound of `bounds` that runs out,
// or a stop asked by `onPiece` or `onWait` fails. Returns the body only when it arrived
// complete.
std::optional<ReceivedBody> ReceiveResource(const std::string& url, std::int32_t pieceSize,
                                            const TransferBounds& bounds,
                                            const PieceHandler& onPiece, const WaitHandler& onWait);

}  // namespace gapwell
