#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "update/transfer/clsDownload.h"

namespace gapwell::test {

// Records the events of a clsDownload.
struct DownloadEvents {
    std::vector<std::pair<std::int32_t, std::int32_t>> progress;  // (current, total)
    std::vector<std::int32_t> completions;                        // totals
    std::vector<std::string> fileNames;                           // of every event, in order

    void Attach(clsDownload& download) {
        download.DownloadProgress = [this](const std::string& fileName, std::int32_t current,
                                           std::int32_t total) {
            progress.emplace_back(current, total);
            fileNames.push_back(fileName);
        };
        download.DownloadComplete = [this](const std::string& fileName, std::int32_t total) {
            completions.push_back(total);
            fileNames.push_back(fileName);
        };
    }
};

}  // namespace gapwell::test
