#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "update/HttpReceive.h"
#include "update/TransferBounds.h"

namespace gapwell {

// Downloads one URL into memory and, only when it arrived complete, writes it to one file.
// Progress and outcome are told by two events, raised synchronously on the calling thread:
//   DownloadProgress(fileName, currentBytes, totalBytes) after each piece of at most
//     BufferSize bytes (running total, announced length);
//   DownloadWaiting() while the transfer waits for the network, at least every 50 ms without
//     a piece, so that the owner can let its window's pending messages run (and Cancel);
//   DownloadComplete(fileName, totalBytes) exactly once per DownloadFile call: the announced
//     length when the file was written, 0 on every failure (a write given up included).
// An answer with a status other than 2xx is no download: its status is noted in Bug.log.
// The owner must keep the object alive until DownloadFile returns; a handler may call Cancel
// or DetachHandlers (from a handler's own pending window messages, say).
class clsDownload {
  public:
    using ProgressHandler = std::function<void(const std::string& fileName,
                                               std::int32_t currentBytes, std::int32_t totalBytes)>;
    using CompleteHandler =
        std::function<void(const std::string& fileName, std::int32_t totalBytes)>;
    using WaitingHandler = std::function<void()>;

    ProgressHandler DownloadProgress;
    WaitingHandler DownloadWaiting;
    CompleteHandler DownloadComplete;

    std::int32_t BufferSize() const { return bufferSize_; }
    // Stores the read size; 0 is ignored. A negative size makes every call fail without a read.
    void SetBufferSize(std::int32_t newValue);

    const TransferBounds& Bounds() const { return bounds_; }
    void SetBounds(const TransferBounds& bounds) { bounds_ = bounds; }

    // The certificates an https server must chain to: those in the PEM file `caFile` alone
    // instead of the system's store (empty, the default: the system's store). Verification is
    // never turned off; the program keeps the default, tests name a certificate of their own.
    void SetCertificateAuthorities(std::string caFile) { caFile_ = std::move(caFile); }

    // Fetches `url` (http or https, see IsSendableUrl) into `fileName`, within Bounds(). The
    // outcome is told by DownloadComplete and returned as well: the announced length when the
    // file was written, 0 on every failure. A call made while another is running on this
    // object fails at once.
    std::int32_t DownloadFile(const std::string& url, const std::string& fileName);

    // The same, but the file is `name` in the open folder `folder` (the events name it
    // `fileName`), and the body is kept: returned, with `headroom` free bytes before it, when the
    // file was written; nullopt on every failure.
    std::optional<ReceivedBody> DownloadInto(const std::string& url, int folder,
                                             const std::string& name, const std::string& fileName,
                                             std::size_t headroom);

    // Asks the running transfer to stop at its next piece or wait: nothing is written and
    // DownloadComplete reports 0. Without a running transfer it does nothing.
    void Cancel() { cancelRequested_ = true; }
    // Whether Cancel was called since the last DownloadFile began.
    bool Cancelled() const { return cancelRequested_; }

    // Drops all handlers, so that no event reaches their owner any more.
    void DetachHandlers();

  private:
    void RaiseWaiting();
    void RaiseProgress(const std::string& fileName, std::int32_t current, std::int32_t total);
    void RaiseComplete(const std::string& fileName, std::int32_t total);

    std::int32_t bufferSize_ = 8192;
    TransferBounds bounds_ = kArchiveBounds;
    std::string caFile_;
    bool running_ = false;
    bool cancelRequested_ = false;
};

}  // namespace gapwell
