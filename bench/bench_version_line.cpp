// Time to read a version line out of a whole file's content (first line, fields, version
// comparison), as hostile as the file makes it; peak memory is measured from outside.
// Usage: bench_version_line FILE
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "update/records/VersionFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_version_line FILE\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string content(std::istreambuf_iterator<char>(in), {});
    const auto begin = std::chrono::steady_clock::now();
    const gapwell::VersionOffer offer = gapwell::ParseVersionLine(
        gapwell::FirstLine(content), {"https://www.tarnwick.example/tarnwick/updates/", "GPW"});
    const bool newer = gapwell::IsNewerVersion("1.2.3", content);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - begin;
    std::printf("%.6f s  usable=%d newer=%d\n", elapsed.count(), offer.usable ? 1 : 0,
                newer ? 1 : 0);
    return 0;
}
