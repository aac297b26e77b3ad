#pragma once

#include <string>

namespace gapwell {

// Whether `newest` is a later version than `current`. Both are numbers joined by "." and are
// compared number by number (1.2.10 is later than 1.2.3, 1.10 later than 1.9); a missing or
// empty number counts as 0, and numbers of any length compare exactly.
bool IsNewerVersion(const std::string& current, const std::string& newest);

}  // namespace gapwell
