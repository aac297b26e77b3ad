#pragma once

#include <string>
#include <utility>
#include <vector>

#include "cli/CommandLine.h"
#include "support/CommandRun.h"

namespace gapwell::test {

// Runs gapwell's command line in the test's own process as `gapwell arguments...`.
inline CommandRun Gapwell(std::vector<std::string> arguments) {
    return RunCommand(cli::RunCommandLine, "gapwell", std::move(arguments));
}

}  // namespace gapwell::test
