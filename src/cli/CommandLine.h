#pragma once

namespace gapwell::cli {

// Parses the arguments, runs the command and returns the process exit code: 0 success,
// 1 nothing found (find), 2 any error (printed as one line on stderr).
int RunCommandLine(int argc, char** argv);

}  // namespace gapwell::cli
