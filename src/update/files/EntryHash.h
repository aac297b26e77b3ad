#pragma once

#include <optional>
#include <string>

namespace gapwell {

// The SHA-256 of the regular file `name` in `folder` (a descriptor), in lower-case hex; nullopt
// when it is missing, a link, no regular file or cannot be read whole.
std::optional<std::string> SHA256OfEntry(int folder, const std::string& name);

}  // namespace gapwell
