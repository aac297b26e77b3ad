#include "base/RuntimeError.h"

#include <cstring>

namespace gapwell {

RuntimeError ErrnoError(int errorNumber, const std::string& context) {
    std::string description = std::strerror(errorNumber);
    if (!context.empty()) {
        description += ": " + context;
    }
    return RuntimeError(errorNumber, description);
}

}  // namespace gapwell
