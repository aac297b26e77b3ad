// Time to the free-space map of a typical 32 MiB ROM: one scan of the file for every 0xFF run,
// then the cells of a 96 × 64 grid and the totals for a needed length of 256.
// Usage: bench_map [MiB] (default 32)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "mapwindow/RunMap.h"

namespace {

constexpr std::int64_t kNeeded = 256;
constexpr std::int64_t kCells = 96 * 64;
constexpr int kRepetitions = 9;

// Random bytes (so lone 0xFF bytes turn up as in code and graphics), a free run of 0xFF every
// 256 KiB of 64 to 8191 bytes, and 1 MiB of 0xFF padding at the end.
std::string WriteTypicalRom(std::size_t mib) {
    std::vector<char> rom(mib << 20);
    std::mt19937 random(1);
    for (char& byte : rom) {
        byte = static_cast<char>(random() & 0xFF);
    }
    for (std::size_t offset = 0x1000; offset + 0x2000 < rom.size(); offset += 0x40000) {
        std::fill_n(rom.begin() + static_cast<std::ptrdiff_t>(offset), 64 + random() % 8128,
                    '\xFF');
    }
    std::fill(rom.end() - (1 << 20), rom.end(), '\xFF');
    const std::string path =
        (std::filesystem::temp_directory_path() / "gapwell_bench_map.gba").string();
    std::ofstream(path, std::ios::binary)
        .write(rom.data(), static_cast<std::streamsize>(rom.size()));
    return path;
}

// Builds the map; counts its usable cells into `usableCells`.
double MillisecondsToMap(const std::string& path, std::ptrdiff_t& usableCells) {
    const auto begin = std::chrono::steady_clock::now();
    const gapwell::RunMap runs = gapwell::RunMap::Scan(path, 0xFF);
    const std::int64_t bytesPerCell = (runs.RomSize() + kCells - 1) / kCells;
    const std::vector<gapwell::CellClass> cells = runs.Cells(bytesPerCell, kNeeded);
    usableCells = std::count(cells.begin(), cells.end(), gapwell::CellClass::Usable);
    if (runs.Totals(kNeeded).usableRuns == 0) {
        std::printf("unexpected: no usable run\n");
    }
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - begin;
    return elapsed.count();
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 32;
    const std::string path = WriteTypicalRom(mib);
    std::vector<double> times;
    std::ptrdiff_t usableCells = 0;
    for (int i = 0; i < kRepetitions; ++i) {
        times.push_back(MillisecondsToMap(path, usableCells));
    }
    std::filesystem::remove(path);
    std::sort(times.begin(), times.end());
    std::printf(
        "map of %zu MiB (%td usable cells of %lld): median %.1f ms, best %.1f ms, "
        "worst %.1f ms\n",
        mib, usableCells, static_cast<long long>(kCells), times[times.size() / 2], times.front(),
        times.back());
    return 0;
}
