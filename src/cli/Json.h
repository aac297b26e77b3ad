#pragma once

#include <string>

namespace gapwell::cli {

// The text as a JSON string literal, quotes included.
std::string JsonString(const std::string& text);

}  // namespace gapwell::cli
