#include "update/HttpReceive.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
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
    std::int64_t maxBytes = 0;
    bool unannouncedAllowed = false;
    std::size_t headroom = 0;
    Clock::time_point lastByte = Clock::now();
    std::string lengthField;     // the current answer's Content-Length, as sent
    bool badLength = false;      // two differing Content-Length fields, or one that is no number
    std::int64_t capacity = -1;  // room for the body; -1 until the first body bytes arrive
    bool announced = false;      // whether the capacity is the announced length
    std::unique_ptr<char[]> buffer;
    std::int64_t received = 0;
    bool refused = false;        // bad status or length, longer body, or stopped by the handler
    long refusedStatus = 0;      // a status other than 2xx
    std::exception_ptr failure;  // thrown by the handler; rethrown after the transfer
};

struct CurlCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct MultiCleanup {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct HeaderListCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

bool IsSuccessStatus(long status) {
    return status >= 200 && status <= 299;
}

long ResponseStatus(CURL* curl) {
    long status = 0;
    return curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK ? status : 0;
}

// Takes the answer's status and length once the headers are in and makes the buffer for the
// body: of the announced length, or of the bound when none was announced and that is allowed.
bool AcceptAnswer(Transfer& transfer) {
    if (const long status = ResponseStatus(transfer.curl); !IsSuccessStatus(status)) {
        transfer.refusedStatus = status;
        return false;
    }
    curl_off_t length = -1;
    if (transfer.badLength ||
        curl_easy_getinfo(transfer.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK) {
        return false;
    }
    transfer.announced = length >= 0;
    if (!transfer.announced && transfer.unannouncedAllowed) {
        length = transfer.maxBytes;
    }
    if (length <= 0 || length > transfer.maxBytes) {
        return false;
    }
    transfer.capacity = length;
    transfer.buffer = std::make_unique_for_overwrite<char[]>(transfer.headroom +
                                                             static_cast<std::size_t>(length));
    return true;
}

// Copies the bytes to their place in the buffer piece by piece; false stops the transfer.
bool StorePieces(Transfer& transfer, const char* data, std::size_t size) {
    if (transfer.capacity < 0 && !AcceptAnswer(transfer)) {
        return false;
    }
    if (static_cast<std::int64_t>(size) > transfer.capacity - transfer.received) {
        return false;  // more than announced or allowed: never written past the buffer
    }
    transfer.lastByte = Clock::now();
    for (std::size_t done = 0; done < size;) {
        const std::size_t piece =
            std::min(size - done, static_cast<std::size_t>(transfer.pieceSize));
        std::memcpy(transfer.buffer.get() + transfer.headroom + transfer.received, data + done,
                    piece);
        transfer.received += static_cast<std::int64_t>(piece);
        done += piece;
        const std::int64_t total = transfer.announced ? transfer.capacity : transfer.received;
        if (!(*transfer.onPiece)(static_cast<std::int32_t>(transfer.received),
                                 static_cast<std::int32_t>(total))) {
            return false;
        }
    }
    return true;
}

std::string_view TrimmedField(std::string_view value) {
    const std::size_t first = value.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return value.substr(first, value.find_last_not_of(" \t\r\n") - first + 1);
}

bool StartsWithCaseless(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

// libcurl's header callback, called with every header line of every answer (redirects
// included): notes a Content-Length that differs from an earlier one of the same answer.
std::size_t OnHeaderLine(char* data, std::size_t, std::size_t count, void* context) {
    auto& transfer = *static_cast<Transfer*>(context);
    const std::string_view line(data, count);
    constexpr std::string_view kLengthName = "content-length:";
    if (line.starts_with("HTTP/")) {
        transfer.lengthField.clear();
        transfer.badLength = false;
    } else if (StartsWithCaseless(line, kLengthName)) {
        const std::string_view value = TrimmedField(line.substr(kLengthName.size()));
        const bool number = !value.empty() && std::all_of(value.begin(), value.end(), [](char c) {
            return c >= '0' && c <= '9';
        });
        if (!number || (!transfer.lengthField.empty() && transfer.lengthField != value)) {
            transfer.badLength = true;
        }
        transfer.lengthField = value;
    }
    return count;
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

// https stays https; http may be redirected to http or https. Nothing else is ever spoken.
const char* ProtocolsFor(const std::string& url) {
    return url.rfind("https://", 0) == 0 ? "https" : "http,https";
}

void Configure(CURL* curl, const std::string& url, const curl_slist* headers,
               const TransferBounds& bounds, const std::string& caFile, Transfer& transfer) {
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    if (!caFile.empty()) {
        // These certificates instead of the system's store; they are checked all the same.
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.c_str());
        curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr);
    }
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, ProtocolsFor(url));
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, ProtocolsFor(url));
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(bounds.connect.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(bounds.total.count()));
    // Refuses a larger announced length as soon as the head is in.
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(bounds.maxBytes));
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kSocketReadSize);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBodyData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeaderLine);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnTick);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
}

// The transfer's handle inside a multi handle, so that the wait for the network can be cut
// into slices; removed again before either is cleaned up.
class MultiTransfer {
  public:
    MultiTransfer(CURLM* multi, CURL* curl) : multi_(multi), curl_(curl) {
        added_ = curl_multi_add_handle(multi_, curl_) == CURLM_OK;
    }
    ~MultiTransfer() {
        if (added_) {
            curl_multi_remove_handle(multi_, curl_);
        }
    }
    MultiTransfer(const MultiTransfer&) = delete;
    MultiTransfer& operator=(const MultiTransfer&) = delete;

    // Runs the transfer to its end; `onWait` after each slice without a piece. Returns
    // libcurl's result, or CURLE_ABORTED_BY_CALLBACK when `onWait` asked to stop.
    CURLcode Run(const WaitHandler& onWait, const Transfer& transfer) {
        if (!added_) {
            return CURLE_FAILED_INIT;
        }
        int running = 1;
        auto lastHeard = Clock::now();
        std::int64_t lastReceived = 0;
        while (curl_multi_perform(multi_, &running) == CURLM_OK && running != 0) {
            if (transfer.received != lastReceived) {
                lastReceived = transfer.received;
                lastHeard = Clock::now();
            } else if (Clock::now() - lastHeard >= kWaitSlice) {
                lastHeard = Clock::now();
                if (!onWait()) {
                    return CURLE_ABORTED_BY_CALLBACK;
                }
            }
            if (curl_multi_poll(multi_, nullptr, 0, static_cast<int>(kWaitSlice.count()),
                                nullptr) != CURLM_OK) {
                return CURLE_RECV_ERROR;
            }
        }
        int queued = 0;
        while (const CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == curl_) {
                return message->data.result;
            }
        }
        return CURLE_RECV_ERROR;
    }

  private:
    CURLM* multi_;
    CURL* curl_;
    bool added_ = false;
};

// Sets libcurl up once per process (before the first handle, as its documentation asks).
bool CurlReady() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

}  // namespace

bool IsSendableUrl(std::string_view url) {
    const std::size_t schemeLength = url.rfind("https://", 0) == 0  ? 8
                                     : url.rfind("http://", 0) == 0 ? 7
                                                                    : 0;
    const bool plain = std::none_of(url.begin(), url.end(), [](char c) {
        const auto code = static_cast<unsigned char>(c);
        return code <= 0x20 || code == 0x7F;
    });
    return schemeLength != 0 && url.size() > schemeLength && plain;
}

std::string_view ReceivedBody::PrefixedBody(std::string_view prefix) {
    if (prefix.size() > headroom) {
        return {};
    }
    char* start = storage.get() + headroom - prefix.size();
    std::memcpy(start, prefix.data(), prefix.size());
    return {start, prefix.size() + static_cast<std::size_t>(size)};
}

Reception ReceiveResource(const std::string& url, std::int32_t pieceSize,
                          const TransferBounds& bounds, std::size_t headroom,
                          const PieceHandler& onPiece, const WaitHandler& onWait,
                          const std::string& caFile) {
    if (pieceSize <= 0 || !IsSendableUrl(url) || !CurlReady()) {
        return {};
    }
    const std::unique_ptr<CURL, CurlCleanup> curl(curl_easy_init());
    const std::unique_ptr<CURLM, MultiCleanup> multi(curl_multi_init());
    // Ask every cache on the way (proxies included) for a fresh copy and to keep none.
    std::unique_ptr<curl_slist, HeaderListCleanup> headers(
        curl_slist_append(nullptr, "Cache-Control: no-cache"));
    if (!curl || !multi || !headers || !curl_slist_append(headers.get(), "Pragma: no-cache")) {
        return {};
    }
    Transfer transfer;
    transfer.curl = curl.get();
    transfer.pieceSize = pieceSize;
    transfer.onPiece = &onPiece;
    transfer.stall = bounds.stall;
    transfer.maxBytes = bounds.maxBytes;
    transfer.unannouncedAllowed = bounds.unannouncedAllowed;
    transfer.headroom = headroom;
    Configure(curl.get(), url, headers.get(), bounds, caFile, transfer);

    CURLcode result = CURLE_OK;
    {
        MultiTransfer running(multi.get(), curl.get());
        result = running.Run(onWait, transfer);
    }
    if (transfer.failure) {
        std::rethrow_exception(transfer.failure);
    }
    // An answer without a body never reached the write callback: its status is checked here.
    if (const long status = ResponseStatus(curl.get()); status != 0 && !IsSuccessStatus(status)) {
        transfer.refusedStatus = status;
    }
    const bool complete =
        transfer.announced ? transfer.received == transfer.capacity : transfer.received > 0;
    if (result != CURLE_OK || transfer.refused || transfer.refusedStatus != 0 || !complete) {
        return Reception{std::nullopt, transfer.refusedStatus};
    }
    return Reception{ReceivedBody{std::move(transfer.buffer), headroom,
                                  static_cast<std::int32_t>(transfer.received)},
                     0};
}

}  // namespace gapwell
