#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace gapwell::cli {

// Thrown as soon as the output refuses what a command writes; `message` names the reason.
struct OutputFailed {
    std::string message;
};

// Writes `text` to `out`, with `flush` handing it to the system at once (for results that take
// long to find, so that a reader sees each one and a failure shows at the first). Throws
// OutputFailed when `out` refuses it.
void WriteOutput(std::ostream& out, std::string_view text, bool flush = false);

// Hands whatever `out` still holds to the system; throws OutputFailed when it is refused.
void FlushOutput(std::ostream& out);

}  // namespace gapwell::cli
