#pragma once

#include <string>
#include <string_view>

namespace gapwell::cli {

// The text with every control character written as an escape (\n, \r, \t, or \xHH), so that a
// message holding a file name stays on one line whatever the name contains.
std::string EscapeControlCharacters(std::string_view text);

}  // namespace gapwell::cli
