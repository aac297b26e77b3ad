#include "cli/Output.h"

#include <cerrno>
#include <cstring>
#include <ostream>

namespace gapwell::cli {

namespace {

// Throws when `out` has failed. The system's reason is still in errno: the caller cleared it
// just before the stream operation, and the stream failed in that operation.
void ThrowIfFailed(const std::ostream& out) {
    if (out) {
        return;
    }
    const int error = errno;
    throw OutputFailed{std::string("cannot write the output") +
                       (error != 0 ? ": " + std::string(std::strerror(error)) : "")};
}

}  // namespace

void WriteOutput(std::ostream& out, std::string_view text, bool flush) {
    errno = 0;
    out << text;
    if (flush) {
        out.flush();
    }
    ThrowIfFailed(out);
}

void FlushOutput(std::ostream& out) {
    errno = 0;
    out.flush();
    ThrowIfFailed(out);
}

}  // namespace gapwell::cli
