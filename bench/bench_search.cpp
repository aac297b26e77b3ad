// Throughput of the run finders in memory, without file I/O: the search's (a FirstRunFinder for
// each 1 MiB chunk), the scan's (one RunFinder for the whole stream) and the scan's with the
// words that may point into the ROM picked out of each piece (scan --refs), all fed in the pieces
// the file reader hands over, on typical data and on two kinds of hostile data.
// Times are processor time, so other work on a busy machine counts less.
// Usage: bench_search [MiB] (default 256)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

#include "search/FirstRunFinder.h"
#include "search/PieceReader.h"
#include "search/PointerWords.h"
#include "search/RunFinder.h"

namespace {

constexpr std::size_t kNeeded = 256;
constexpr std::size_t kChunk = 1 << 20;
constexpr int kRounds = 7;

using Bytes = std::vector<std::uint8_t>;

std::size_t Search(const Bytes& data) {
    std::size_t found = 0;
    for (std::size_t chunk = 0; chunk < data.size(); chunk += kChunk) {
        gapwell::FirstRunFinder first(0xFF, kNeeded);
        for (std::size_t at = chunk; at < chunk + kChunk; at += gapwell::kPieceSize) {
            if (first.Feed(data.data() + at, gapwell::kPieceSize)) {
                break;
            }
        }
        found += first.Offset() >= 0 ? 1 : 0;
    }
    return found;
}

std::size_t Scan(const Bytes& data) {
    std::size_t found = 0;
    gapwell::RunFinder runs(0xFF, kNeeded, 1, [&found](const gapwell::FreeRun&) { ++found; });
    for (std::size_t at = 0; at < data.size(); at += gapwell::kPieceSize) {
        runs.Feed(data.data() + at, gapwell::kPieceSize);
    }
    runs.Finish();
    return found;
}

std::size_t ScanWithWords(const Bytes& data) {
    std::size_t found = 0;
    gapwell::RunFinder runs(0xFF, kNeeded, 1, [&found](const gapwell::FreeRun&) { ++found; });
    gapwell::PointerWords words;
    words.Start(static_cast<std::int64_t>(data.size()));
    for (std::size_t at = 0; at < data.size(); at += gapwell::kPieceSize) {
        runs.Feed(data.data() + at, gapwell::kPieceSize);
        words.Feed(data.data() + at, gapwell::kPieceSize);
    }
    runs.Finish();
    words.Finish();
    return found + (words.Complete() ? 0 : 1);
}

// Median MiB/s of a few rounds.
double MibPerSecond(std::size_t (*finder)(const Bytes&), const Bytes& data) {
    std::vector<double> rates;
    for (int round = 0; round < kRounds; ++round) {
        const std::clock_t begin = std::clock();
        if (finder(data) != 0) {
            std::printf("unexpected match\n");
        }
        const double seconds = static_cast<double>(std::clock() - begin) / CLOCKS_PER_SEC;
        rates.push_back(static_cast<double>(data.size() >> 20) / seconds);
    }
    std::sort(rates.begin(), rates.end());
    return rates[rates.size() / 2];
}

// Runs of `run` filler bytes, each followed by one other byte.
Bytes Runs(std::size_t size, std::size_t run) {
    Bytes data(size, 0xFF);
    for (std::size_t i = run; i < size; i += run + 1) {
        data[i] = 0x00;
    }
    return data;
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
    Bytes typical(mib << 20);
    std::mt19937 random(1);
    for (auto& byte : typical) {
        byte = static_cast<std::uint8_t>(random() % 255);  // never 0xFF
    }
    const struct {
        const char* name;
        Bytes data;
    } sets[] = {{"typical", typical},
                {"hostile (runs of needed-1)", Runs(mib << 20, kNeeded - 1)},
                {"dense (runs of needed/2)", Runs(mib << 20, kNeeded / 2)}};
    for (const auto& set : sets) {
        std::printf("%-28s search %6.0f MiB/s  scan %6.0f MiB/s  scan with words %6.0f MiB/s\n",
                    set.name, MibPerSecond(Search, set.data), MibPerSecond(Scan, set.data),
                    MibPerSecond(ScanWithWords, set.data));
    }
    return 0;
}
