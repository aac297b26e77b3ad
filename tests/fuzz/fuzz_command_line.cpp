// The command-line parser on any argument vector (arguments separated by NUL bytes), run
// in-process with output to strings: the exit code is 0, 1 or 2, and an error is one line.
#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments{"gapwell"};
    std::string current;
    for (std::size_t i = 0; i < size && arguments.size() < 16; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    arguments.push_back(current);
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode =
        gapwell::cli::RunCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
    const std::string message = err.str();
    const bool oneLine =
        std::count(message.begin(), message.end(), '\n') == 1 && message.back() == '\n';
    if (exitCode < 0 || exitCode > 2 || (exitCode == 2 && !oneLine)) {
        std::abort();
    }
    return 0;
}
