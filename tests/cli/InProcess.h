#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"

namespace gapwell::test {

struct Output {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs the command line in-process with `arguments` (the program name is added).
inline Output Gapwell(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "gapwell");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode = cli::RunCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
    return {exitCode, out.str(), err.str()};
}

}  // namespace gapwell::test
