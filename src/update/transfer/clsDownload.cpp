#include "update/transfer/clsDownload.h"

#include <fcntl.h>

#include <utility>

#include "services/modErrorHandler.h"
#include "update/transfer/DownloadedFile.h"

namespace gapwell {

namespace {

// Marks the object busy for one call, also when a handler throws.
class RunningFlag {
  public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

  private:
    bool& flag_;
};

}  // namespace

void clsDownload::SetBufferSize(std::int32_t newValue) {
    if (newValue != 0) {
        bufferSize_ = newValue;
    }
}

void clsDownload::DetachHandlers() {
    DownloadProgress = nullptr;
    DownloadWaiting = nullptr;
    DownloadComplete = nullptr;
}

std::int32_t clsDownload::DownloadFile(const std::string& url, const std::string& fileName) {
    const std::optional<ReceivedBody> body = DownloadInto(url, AT_FDCWD, fileName, fileName, 0);
    return body ? body->size : 0;
}

std::optional<ReceivedBody> clsDownload::DownloadInto(const std::string& url, int folder,
                                                      const std::string& name,
                                                      const std::string& fileName,
                                                      std::size_t headroom) {
    Reception reception;
    if (!running_) {
        const RunningFlag running(running_);
        cancelRequested_ = false;
        reception = ReceiveResource(
            url, bufferSize_, bounds_, headroom,
            [&](std::int32_t received, std::int32_t announced) {
                RaiseProgress(fileName, received, announced);
                return !cancelRequested_;
            },
            [&] {
                RaiseWaiting();
                return !cancelRequested_;
            },
            caFile_);
    }
    if (reception.refusedStatus != 0) {
        LogError(
            "DownloadFile", static_cast<int>(reception.refusedStatus), "clsDownload",
            "HTTP status " + std::to_string(reception.refusedStatus) + " is no download: " + url,
            0);
    }
    if (reception.body) {
        const std::string_view body = reception.body->Body();
        const WriteOutcome outcome = WriteDownloadedFile(folder, name, body.data(), body.size());
        if (outcome == WriteOutcome::Aborted) {
            return std::nullopt;  // the program ends
        }
        if (outcome == WriteOutcome::GivenUp) {
            reception.body.reset();
        }
    }
    RaiseComplete(fileName, reception.body ? reception.body->size : 0);
    return std::move(reception.body);
}

void clsDownload::RaiseWaiting() {
    if (const WaitingHandler handler = DownloadWaiting) {
        handler();
    }
}

// The handlers are called through copies, so that one may detach itself while it runs.
void clsDownload::RaiseProgress(const std::string& fileName, std::int32_t current,
                                std::int32_t total) {
    if (const ProgressHandler handler = DownloadProgress) {
        handler(fileName, current, total);
    }
}

void clsDownload::RaiseComplete(const std::string& fileName, std::int32_t total) {
    if (const CompleteHandler handler = DownloadComplete) {
        handler(fileName, total);
    }
}

}  // namespace gapwell
