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
    std::vector<std::string> known;  // build files of known data (--known)
};

// Adds the alloc command and its options to `app`, filling `arguments`.
CLI::App* AddAllocCommand(CLI::App& app, AllocArguments& arguments);

// Places the blocks and prints the plan to `out` (exit 0). When some block does not fit, prints
// nothing to `out`, names every such block and the largest free run left on `err`, writes no
// ledger and returns 1. Bad values throw BadNumber or RuntimeError, output that `out` refuses
// OutputFailed.
int RunAlloc(const AllocArguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace gapwell::cli
