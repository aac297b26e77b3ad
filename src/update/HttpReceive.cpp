#include "update/HttpReceive.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <exception>

namespace gapwell {

namespace {

using Clock = std::chrono::steady_clock;

// libcurl's receive buffer: large reads from the socket cost fewer system calls; the pieces
// handed on stay at most the caller's piece size.
constexpr long kSocketReadSize = 256L * 1024;

// The state of one transfer, shared with libcurl's callbacks.
struct Transfer {
    CURL* curl = nullptr;
    std::int32_t pieceSize = 0;
    const PieceHandler* onPiece = nullptr;
    std::chrono::milliseconds stall{0};
    Clock::time_point lastByte = Clock::now();
    std::int64_t announced = -1;  // -1 until the first body bytes arrive
    std::unique_ptr<char[]> buffer;
    std::int64_t received = 0;
    bool refused = false;        // bad length, longer body, or stopped by the handler
    std::exception_ptr failure;  // thrown by the handler; rethrown after the transfer
};

struct CurlCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct HeaderListCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Takes the announced length once the headers are in and makes the buffer for it.
bool AcceptAnnouncedLength(Transfer& transfer) {
    curl_off_t length = -1;
    if (curl_easy_getinfo(transfer.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK ||
        length <= 0 || length > kMaxAnnouncedLength) {
        return false;
    }
    transfer.announced = length;
    transfer.buffer = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(length));
    return true;
}

// Copies the bytes to their place in the buffer piece by piece; false stops the transfer.
bool StorePieces(Transfer& transfer, const char* data, std::size_t size) {
    if (transfer.announced < 0 && !AcceptAnnouncedLength(transfer)) {
        return false;
    }
    if (static_cast<std::int64_t>(size) > transfer.announced - transfer.received) {
        return false;  // more than announced: never written past the buffer
    }
    transfer.lastByte = Clock::now();
    for (std::size_t done = 0; done < size;) {
        const std::size_t piece =
            std::min(size - done, static_cast<std::size_t>(transfer.pieceSize));
        std::memcpy(transfer.buffer.get() + transfer.received, data + done, piece);
        transfer.received += static_cast<std::int64_t>(piece);
        done += piece;
        if (!(*transfer.onPiece)(static_cast<std::int32_t>(transfer.received),
                                 static_cast<std::int32_t>(transfer.announced))) {
            return false;
        }
    }
    return true;
}

// libcurl's write callback. Returning less than `count` ends the transfer as failed.
std::size_t OnBodyData(char* data, std::size_t, std::size_t count, void* context) {
    auto& transfer = *static_cast<Transfer*>(context);
    try {
        if (StorePieces(transfer, data, count)) {
            return count;
        }
    } catch (...) {
        transfer.failure = std::current_exception();
    }
    transfer.refused = true;
    return 0;
}

// libcurl's progress callback, called at least about once a second: ends a stalled transfer.
int OnTick(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto& transfer = *static_cast<const Transfer*>(context);
    const bool stalled =
        transfer.stall.count() > 0 && Clock::now() - transfer.lastByte > transfer.stall;
    return stalled ? 1 : 0;
}

void Configure(CURL* curl, const std::string& url, const curl_slist* headers,
               const TransferBounds& bounds, Transfer& transfer) {
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(bounds.connect.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(bounds.total.count()));
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kSocketReadSize);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBodyData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnTick);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
}

// Sets libcurl up once per process (before the first handle, as its documentation asks).
bool CurlReady() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

}  // namespace

std::optional<ReceivedBody> ReceiveResource(const std::string& url, std::int32_t pieceSize,
                                            const TransferBounds& bounds,
                                            const PieceHandler& onPiece) {
    if (pieceSize <= 0 || !CurlReady()) {
        return std::nullopt;
    }
    const std::unique_ptr<CURL, CurlCleanup> curl(curl_easy_init());
    // Ask every cache on the way (proxies included) for a fresh copy and to keep none.
    std::unique_ptr<curl_slist, HeaderListCleanup> headers(
        curl_slist_append(nullptr, "Cache-Control: no-cache"));
    if (!curl || !headers || !curl_slist_append(headers.get(), "Pragma: no-cache")) {
        return std::nullopt;
    }
    Transfer transfer;
    transfer.curl = curl.get();
    transfer.pieceSize = pieceSize;
    transfer.onPiece = &onPiece;
    transfer.stall = bounds.stall;
    Configure(curl.get(), url, headers.get(), bounds, transfer);

    const CURLcode result = curl_easy_perform(curl.get());
    if (transfer.failure) {
        std::rethrow_exception(transfer.failure);
    }
    if (result != CURLE_OK || transfer.refused || transfer.announced <= 0 ||
        transfer.received != transfer.announced) {
        return std::nullopt;
    }
    return ReceivedBody{std::move(transfer.buffer), static_cast<std::int32_t>(transfer.received)};
}

}  // namespace gapwell
