// Time to place 1,000 blocks of random sizes in a 32 MiB ROM with 5,000 free runs: the pass over
// the ROM for its runs, the pass for the pointers at them, and the placement; and the peak memory.
// Then 1,000 blocks aligned to 2^30 in a hostile ROM of 1.6 million short runs.
// Usage: bench_alloc [MiB] (default 32)
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "alloc/Allocation.h"

namespace {

constexpr int kRuns = 5000;
constexpr int kBlocks = 1000;
constexpr int kRepetitions = 9;
constexpr std::size_t kChunk = std::size_t{1} << 20;

// Random bytes with kRuns runs of 0xFF (64 to 4159 bytes, evenly spread) and, at 0x200, a table
// of pointers to every fourth run. Written a MiB at a time, so that the ROM never is in memory.
std::string WriteRom(std::size_t mib) {
    const std::size_t size = mib << 20;
    std::mt19937 random(7);
    std::vector<std::pair<std::size_t, std::size_t>> runs;  // (offset, length)
    for (std::size_t i = 0; i < kRuns; ++i) {
        runs.emplace_back(0x2000 + i * ((size - 0x4000) / kRuns), 64 + random() % 4096);
    }
    const std::string path =
        (std::filesystem::temp_directory_path() / "gapwell_bench_alloc.gba").string();
    std::ofstream out(path, std::ios::binary);
    std::vector<char> chunk(kChunk);
    for (std::size_t start = 0; start < size; start += kChunk) {
        for (char& byte : chunk) {
            byte = static_cast<char>(random() & 0xFF);
        }
        for (const auto& [offset, length] : runs) {
            for (std::size_t at = std::max(offset, start);
                 at < std::min(offset + length, start + kChunk); ++at) {
                chunk[at - start] = '\xFF';
            }
        }
        if (start == 0) {
            for (std::size_t i = 0; i < runs.size(); i += 4) {
                const auto pointer = static_cast<std::uint32_t>(0x08000000 + runs[i].first);
                for (std::size_t b = 0; b < 4; ++b) {
                    chunk[0x200 + i + b] = static_cast<char>(pointer >> (8 * b));
                }
            }
        }
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    }
    return path;
}

// Runs of 19 bytes of 0xFF, each followed by one 0x00: about 1.6 million runs in 32 MiB.
std::string WriteHostileRom(std::size_t mib) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "gapwell_bench_alloc_hostile.gba").string();
    std::vector<char> chunk(kChunk);
    std::ofstream out(path, std::ios::binary);
    for (std::size_t start = 0; start < (mib << 20); start += kChunk) {
        for (std::size_t at = 0; at < kChunk; ++at) {
            chunk[at] = (start + at) % 20 == 19 ? '\0' : '\xFF';
        }
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    }
    return path;
}

void TimeHugeAlignment(std::size_t mib) {
    const std::string path = WriteHostileRom(mib);
    gapwell::AllocationRequest request;
    request.margin = 0;
    for (int i = 0; i < kBlocks; ++i) {
        request.blocks.push_back({"block" + std::to_string(i), 4, std::int64_t{1} << 30});
    }
    std::vector<std::pair<double, double>> times;
    for (int i = 0; i < 3; ++i) {
        const gapwell::bench::Stopwatch stopwatch;
        gapwell::AllocateBlocks(path, request);
        times.push_back(stopwatch.Elapsed());
    }
    std::filesystem::remove(path);
    gapwell::bench::PrintTimes(std::to_string(kBlocks) + " blocks aligned to 2^30 in " +
                                   std::to_string(mib) + " MiB of 19-byte runs",
                               times);
}

long PeakKibibytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 32;
    const std::string path = WriteRom(mib);
    gapwell::AllocationRequest request;
    std::mt19937 random(11);
    const std::int64_t aligns[] = {1, 2, 4, 4, 4, 16, 256};
    for (int i = 0; i < kBlocks; ++i) {
        request.blocks.push_back({"block" + std::to_string(i),
                                  static_cast<std::int64_t>(4 + random() % 2048),
                                  aligns[random() % std::size(aligns)]});
    }
    const long before = PeakKibibytes();
    std::vector<std::pair<double, double>> times;
    gapwell::Allocation allocation;
    for (int i = 0; i < kRepetitions; ++i) {
        const gapwell::bench::Stopwatch stopwatch;
        allocation = gapwell::AllocateBlocks(path, request);
        times.push_back(stopwatch.Elapsed());
    }
    std::filesystem::remove(path);
    gapwell::bench::PrintTimes(std::to_string(kBlocks) + " blocks in " + std::to_string(mib) +
                                   " MiB with " + std::to_string(kRuns) + " runs (" +
                                   std::to_string(allocation.placed.size()) + " placed)",
                               times);
    std::printf("peak memory: %ld KiB before the runs, %ld KiB after\n", before, PeakKibibytes());
    TimeHugeAlignment(mib);
    return allocation.Complete() ? 0 : 1;
}
