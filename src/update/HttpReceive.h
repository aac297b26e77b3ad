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

// A resource received complete: exactly the announced number of bytes, kept in one buffer after
// `headroom` free bytes, so that a caller can put a prefix before the body without a copy.
struct ReceivedBody {
    std::unique_ptr<char[]> storage;
    std::size_t headroom = 0;
    std::int32_t size = 0;

    std::string_view Body() const {
        return {storage.get() + headroom, static_cast<std::size_t>(size)};
    }
    // Writes `prefix` into the headroom right before the body and returns both together; an
    // empty view when the prefix does not fit.
    std::string_view PrefixedBody(std::string_view prefix);
};

// The outcome of one transfer: the body when it arrived complete; otherwise, when the server
// answered with a status other than 2xx, that status (0 for every other failure).
struct Reception {
    std::optional<ReceivedBody> body;
    long refusedStatus = 0;
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
// http may move up to https. Only a 2xx answer is the resource. The Content-Length is the
// announced length: 0, negative, above `bounds.maxBytes`, or two differing Content-Length
// fields fail before the body is read; a missing one fails too, unless
// `bounds.unannouncedAllowed`, when the body is read up to `bounds.maxBytes`. The body goes
// straight into one buffer of that length after `headroom` free bytes, in pieces of at most
// `pieceSize` bytes, `onPiece` after each piece. A body longer than announced, a dropped
// connection, a bound of `bounds` that runs out, or a stop asked by `onPiece` or `onWait` fails.
// The body is returned only when it arrived complete. An https server's certificate must chain
// to the system's store, or, when `caFile` is not empty, to the certificates in that PEM file
// alone.
Reception ReceiveResource(const std::string& url, std::int32_t pieceSize,
                          const TransferBounds& bounds, std::size_t headroom,
                          const PieceHandler& onPiece, const WaitHandler& onWait,
                          const std::string& caFile);

}  // namespace gapwell
