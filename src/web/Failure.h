#pragma once

#include <emscripten/val.h>

#include <functional>

namespace gapwell::web {

// Runs `body` and hands its value to JavaScript; a failure of the core (an unreadable file, a bad
// argument, no memory left) becomes a JavaScript Error carrying the core's one-line description,
// which the page shows as it is.
emscripten::val Reporting(const std::function<emscripten::val()>& body);

}  // namespace gapwell::web
