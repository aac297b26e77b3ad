// Throughput of the in-memory run finder on typical and on hostile data, without file I/O.
// Usage: bench_search [MiB] (default 256)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "search/FindRun.h"

namespace {

constexpr std::size_t kNeeded = 256;

double SecondsToSearch(const std::vector<std::uint8_t>& data) {
    const auto begin = std::chrono::steady_clock::now();
    std::size_t found = 0;
    constexpr std::size_t kChunk = 1 << 20;
    for (std::size_t offset = 0; offset < data.size(); offset += kChunk) {
        found += gapwell::FindRun(data.data() + offset, kChunk, 0xFF, kNeeded) != gapwell::kNoRun;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - begin;
    if (found != 0) {
        std::printf("unexpected match\n");
    }
    return elapsed.count();
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
    std::vector<std::uint8_t> typical(mib << 20);
    std::mt19937 random(1);
    for (auto& byte : typical) {
        byte = static_cast<std::uint8_t>(random() % 255);  // never 0xFF
    }
    std::vector<std::uint8_t> hostile(mib << 20, 0xFF);
    for (std::size_t i = kNeeded - 1; i < hostile.size(); i += kNeeded) {
        hostile[i] = 0x00;  // runs of needed - 1 filler bytes
    }
    const double typicalSeconds = SecondsToSearch(typical);
    const double hostileSeconds = SecondsToSearch(hostile);
    std::printf("typical: %.0f MiB/s\nhostile: %.0f MiB/s\n",
                static_cast<double>(mib) / typicalSeconds,
                static_cast<double>(mib) / hostileSeconds);
    return 0;
}
