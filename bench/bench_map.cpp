// Time to the free-space map of a typical 32 MiB ROM: one scan of the file for every 0xFF run,
// one pass for the words pointing into them, then the cells of a 96 × 64 grid and the totals for
// a needed length of 256; and the pointer pass alone.
// Usage: bench_map [MiB] (default 32)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "search/FreeRuns.h"
#include "search/Pointers.h"
#include "search/RunMap.h"

namespace {

using gapwell::bench::PrintTimes;
using gapwell::bench::Stopwatch;

constexpr std::int64_t kNeeded = 256;
constexpr std::int64_t kCells = 96 * 64;
constexpr int kRepetitions = 9;

// Random bytes (so lone 0xFF bytes turn up as in code and graphics), a free run of 0xFF every
// 256 KiB of 64 to 8191 bytes, a table of pointers to every fourth of those runs at 0x200, and
// 1 MiB of 0xFF padding at the end.
std::string WriteTypicalRom(std::size_t mib) {
    std::vector<char> rom(mib << 20);
    std::mt19937 random(1);
    for (char& byte : rom) {
        byte = static_cast<char>(random() & 0xFF);
    }
    for (std::size_t offset = 0x1000; offset + 0x2000 < rom.size(); offset += 0x40000) {
        std::fill_n(rom.begin() + static_cast<std::ptrdiff_t>(offset), 64 + random() % 8128,
                    '\xFF');
        if (offset % 0x100000 == 0x1000) {
            const auto pointer = static_cast<std::uint32_t>(0x08000000 + offset);
            const std::size_t at = 0x200 + offset / 0x40000;
            for (std::size_t i = 0; i < 4; ++i) {
                rom[at + i] = static_cast<char>(pointer >> (8 * i));
            }
        }
    }
    std::fill(rom.end() - (1 << 20), rom.end(), '\xFF');
    const std::string path =
        (std::filesystem::temp_directory_path() / "gapwell_bench_map.gba").string();
    std::ofstream(path, std::ios::binary)
        .write(rom.data(), static_cast<std::streamsize>(rom.size()));
    return path;
}

// Builds the map; counts its usable and pointed-at cells into `cellCounts`.
std::pair<double, double> MillisecondsToMap(const std::string& path,
                                            std::pair<std::ptrdiff_t, std::ptrdiff_t>& cellCounts) {
    const Stopwatch stopwatch;
    const gapwell::RunMap runs = gapwell::RunMap::Scan(path, 0xFF);
    const std::int64_t bytesPerCell = (runs.RomSize() + kCells - 1) / kCells;
    const std::vector<gapwell::CellClass> cells = runs.Cells(bytesPerCell, kNeeded);
    cellCounts = {std::count(cells.begin(), cells.end(), gapwell::CellClass::Usable),
                  std::count(cells.begin(), cells.end(), gapwell::CellClass::Referenced)};
    if (runs.Totals(kNeeded).usableRuns == 0) {
        std::printf("unexpected: no usable run\n");
    }
    return stopwatch.Elapsed();
}

// The pointer pass alone, for every filler run of the ROM (as the map asks for them).
std::pair<double, double> MillisecondsToReferences(const std::string& path, std::size_t& runCount) {
    std::vector<gapwell::ByteRange> ranges;
    gapwell::ScanFreeRuns(path, 0xFF, 1, 1, [&ranges](const gapwell::FreeRun& run) {
        ranges.push_back({run.offset, run.offset + run.length});
    });
    runCount = ranges.size();
    const Stopwatch stopwatch;
    gapwell::FindPointers(path, ranges, gapwell::kListedPointers);
    return stopwatch.Elapsed();
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 32;
    const std::string path = WriteTypicalRom(mib);
    std::vector<std::pair<double, double>> mapTimes;
    std::vector<std::pair<double, double>> referenceTimes;
    std::pair<std::ptrdiff_t, std::ptrdiff_t> cellCounts;
    std::size_t runCount = 0;
    for (int i = 0; i < kRepetitions; ++i) {
        mapTimes.push_back(MillisecondsToMap(path, cellCounts));
        referenceTimes.push_back(MillisecondsToReferences(path, runCount));
    }
    std::filesystem::remove(path);
    const std::string map = "map of " + std::to_string(mib) + " MiB (" +
                            std::to_string(cellCounts.first) + " usable and " +
                            std::to_string(cellCounts.second) + " pointed-at cells of " +
                            std::to_string(kCells) + ")";
    PrintTimes(map, mapTimes);
    const std::string references = "pointers into its " + std::to_string(runCount) + " runs";
    PrintTimes(references, referenceTimes);
    return 0;
}
