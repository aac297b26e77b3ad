// Downloads one URL with clsDownload while the progress handler does what the update window
// does after each read: shows the progress line through the window's LiveProgressLabel (the
// label repainted when its text changed, at most about 60 times a second) and lets pending
// events run.
// For comparison it then downloads again with a handler that only counts, which shows the
// downloader's own cost. Prints both transfer times in seconds (DownloadFile from call to
// return, the file written), the live one first.
// Usage: QT_QPA_PLATFORM=offscreen bench_download URL DESTINATION
#include <QApplication>
#include <QLabel>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/QtPlatform.h"
#include "services/Language.h"
#include "update/WizardTexts.h"
#include "update/transfer/clsDownload.h"
#include "updatewindow/LiveProgressLabel.h"

namespace {

double SecondsToDownload(gapwell::clsDownload& download, const char* url, const char* file) {
    const auto begin = std::chrono::steady_clock::now();
    download.DownloadFile(url, file);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - begin;
    return elapsed.count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_download URL DESTINATION\n");
        return 2;
    }
    QApplication application(argc, argv);
    gapwell::QtPlatform platform;
    gapwell::SetCurrentPlatform(&platform);
    const char decimalSeparator = gapwell::UserDecimalSeparator();

    QLabel label;
    label.resize(400, 20);
    label.show();
    gapwell::LiveProgressLabel progressLine(&label);

    gapwell::clsDownload download;
    download.SetBounds(gapwell::kArchiveBounds);
    std::int32_t completed = 0;
    std::int64_t progressEvents = 0;
    download.DownloadProgress = [&](const std::string&, std::int32_t current, std::int32_t total) {
        progressLine.Show(QString::fromStdString(
            gapwell::DownloadProgressText(current, total, decimalSeparator)));
        ++progressEvents;
    };
    download.DownloadComplete = [&](const std::string&, std::int32_t total) { completed = total; };

    const double live = SecondsToDownload(download, argv[1], argv[2]);
    const std::int32_t liveTotal = completed;
    const std::int64_t liveEvents = progressEvents;
    download.DownloadProgress = [&](const std::string&, std::int32_t, std::int32_t) {
        ++progressEvents;
    };
    const double counting = SecondsToDownload(download, argv[1], argv[2]);

    gapwell::SetCurrentPlatform(nullptr);
    if (liveTotal == 0 || completed == 0) {
        std::fprintf(stderr, "download failed\n");
        return 1;
    }
    std::printf("%.3f %.3f s (live label, counting only) for %d bytes, %lld progress events\n",
                live, counting, liveTotal, static_cast<long long>(liveEvents));
    return 0;
}
