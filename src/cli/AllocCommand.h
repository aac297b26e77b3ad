#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace gapwell::cli {

// The texts of alloc's options as typed, checked strictly when the command runs.
struct AllocArguments {
    std::string rom;
    std::vector<std::string> blocks;
    std::string blocksFile;
    std::string byte = "FF";
    std::string from = "0";
    std::string to;
    std::string margin = "16";
    std::string reserveFile;
    std::string ledger;
    bool updateLedger = false;
    std::vector<std::string> forget;
    std::string format = "text";
    std::string address;
    std::string prefix;
    std::vector<std::string> inserts;
    std::string write;
    bool fixHeader = false;
    std::string expand;
    std::string patch;
    std::vector<std::string> known;  // build files of known data (--known)
};

// Adds the alloc command and its options to `app`, filling `arguments`.
CLI::App* AddAllocCommand(CLI::App& app, AllocArguments& arguments);

// Places the blocks and prints the plan to `out` (exit 0); with --write, writes the new ROM (and
// the patch) first. When some block does not fit, or an inserted block would overwrite bytes that
// are not free, prints nothing to `out`, names the block on `err`, writes no file and returns 1.
// Bad values throw BadNumber or RuntimeError, output that `out` refuses OutputFailed.
int RunAlloc(const AllocArguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace gapwell::cli
