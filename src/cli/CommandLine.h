#pragma once

#include <iosfwd>

namespace gapwell::cli {

// Parses the arguments, runs the command and returns the process exit code: 0 success,
// 1 nothing found (find), 2 any error (printed as one line on `err`), including output that
// could not be written to `out`.
int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace gapwell::cli
