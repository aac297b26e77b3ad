#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace gapwell::cli {

// Exit codes of the gapwell tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNotFound = 1;
inline constexpr int kExitError = 2;

// The ROM and the run that find and scan look for, and how they print what they find.
struct ScanOptions {
    std::string rom;
    std::uint8_t filler = 0xFF;
    std::int32_t needed = 256;
    std::int64_t align = 1;
    bool json = false;
    bool references = false;
    std::vector<std::string> known;  // build files whose data is never free
};

// find starts at an offset and goes on like "Find next".
struct FindOptions : ScanOptions {
    std::int32_t from = 0;
    std::int64_t count = 1;
    std::int64_t interval = 16;
};

struct InfoOptions {
    std::string rom;
    bool json = false;
    std::vector<std::string> known;  // build files to read and count
};

// Each command writes its results to `out` and its messages to `err` and returns the exit code;
// read failures propagate as RuntimeError, output that `out` refuses stops the command at once
// with OutputFailed.
int RunFind(const FindOptions& options, std::ostream& out, std::ostream& err);
int RunScan(const ScanOptions& options, std::ostream& out);
int RunInfo(const InfoOptions& options, std::ostream& out, std::ostream& err);

}  // namespace gapwell::cli
