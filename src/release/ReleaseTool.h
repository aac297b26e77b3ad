#pragma once

#include <iosfwd>

namespace gapwell::release {

// The maker's release tool: parses the arguments, runs the command and returns the exit code
// (0 done, 1 a signature that does not verify, 2 any error, printed as one line on `err`).
//
//   gapwell-release keygen SECRET_FILE
//   gapwell-release sign SECRET_FILE ARCHIVE VERSION URL
//   gapwell-release verify PUBLIC_KEY ARCHIVE VERSION [SIGNATURE_FILE]
int RunReleaseTool(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace gapwell::release
