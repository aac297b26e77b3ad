#pragma once

// Timing for the benchmarks: wall and processor time, and their median, best and worst.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace gapwell::bench {

// Processor time of this thread (user and system) in milliseconds: on a shared, busy machine
// the wall clock also counts the time other programs had the processor.
inline double CpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Stopwatch {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    double cpu = CpuMilliseconds();

    // Wall and processor milliseconds since the stopwatch was made.
    std::pair<double, double> Elapsed() const {
        const std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - wall;
        return {elapsed.count(), CpuMilliseconds() - cpu};
    }
};

inline void PrintTimes(const std::string& what,
                       const std::vector<std::pair<double, double>>& times) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (const auto& [wallMs, cpuMs] : times) {
        wall.push_back(wallMs);
        cpu.push_back(cpuMs);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf(
        "%s: median %.1f ms, best %.1f ms, worst %.1f ms (processor time: median %.1f ms)\n",
        what.c_str(), wall[wall.size() / 2], wall.front(), wall.back(), cpu[cpu.size() / 2]);
}

}  // namespace gapwell::bench
