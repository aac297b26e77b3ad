#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace gapwell::test {

// What a command run in the test's own process gave back.
struct CommandRun {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs a tool's entry `run(argc, argv, out, err)` as `program arguments...` and captures what it
// writes to its two streams.
template <typename Entry>
CommandRun RunCommand(Entry run, const std::string& program, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    argv.reserve(arguments.size());
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode = run(static_cast<int>(argv.size()), argv.data(), out, err);
    return {exitCode, out.str(), err.str()};
}

}  // namespace gapwell::test
