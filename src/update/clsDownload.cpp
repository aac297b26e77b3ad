#include "update/clsDownload.h"

#include "update/DownloadedFile.h"
#include "update/HttpReceive.h"

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
    std::int32_t total = 0;
    if (!running_) {
        const RunningFlag running(running_);
        cancelRequested_ = false;
        const auto body = ReceiveResource(
            url, bufferSize_, bounds_,
            [&](std::int32_t received, std::int32_t announced) {
                RaiseProgress(fileName, received, announced);
                return !cancelRequested_;
            },
            [&] {
                RaiseWaiting();
                return !cancelRequested_;
            });
        if (body) {
            if (!WriteDownloadedFile(fileName, body->bytes.get(),
                                     static_cast<std::size_t>(body->size))) {
                return 0;  // answered Abort: the program ends
            }
            total = body->size;
        }
    }
    RaiseComplete(fileName, total);
    return total;
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
