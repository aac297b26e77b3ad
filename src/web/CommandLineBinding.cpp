// `gapwell` itself inside the module: the command line's own parsing, commands and printing, so
// that the WebAssembly core can be held to the native tool's output byte for byte.
#include <emscripten/bind.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"

namespace gapwell::web {

namespace {

// Runs gapwell with `arguments` (without the program name), printing to the module's standard
// output and error; returns the exit code.
int RunGapwell(const std::vector<std::string>& arguments) {
    std::vector<const char*> argv{"gapwell"};
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    const int exitCode =
        cli::RunCommandLine(static_cast<int>(argv.size()), argv.data(), std::cout, std::cerr);
    std::cout.flush();
    std::cerr.flush();
    return exitCode;
}

}  // namespace

EMSCRIPTEN_BINDINGS(gapwell_command_line) {
    emscripten::register_vector<std::string>("StringList");
    emscripten::function("runGapwell", &RunGapwell);
}

}  // namespace gapwell::web
