#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace gapwell::cli {

struct PatchArguments {
    std::string rom;
    std::string patch;                 // apply
    std::string out;                   // apply
    std::vector<std::string> patches;  // check
    std::string ledger;                // check
    bool json = false;                 // check
};

// Adds "patch apply ROM PATCH OUT" and "patch check ROM PATCH... [--ledger L] [--json]" to
// `app`; returns the patch command.
CLI::App* AddPatchCommand(CLI::App& app, PatchArguments& arguments);

// Runs the patch command that was parsed. apply writes OUT (a new file written whole and renamed
// into place), prints its size and CRC32 and returns 0. check prints the byte ranges that two of
// the patches both change and those that a ledger block owns and a patch changes, and returns 1
// when there is any, else 0. Bad input throws RuntimeError.
int RunPatch(const CLI::App& patch, const PatchArguments& arguments, std::ostream& out);

}  // namespace gapwell::cli
