#include "web/Failure.h"

#include <exception>
#include <new>
#include <string>

#include "base/RuntimeError.h"

namespace gapwell::web {

emscripten::val Reporting(const std::function<emscripten::val()>& body) {
    std::string description;
    try {
        return body();
    } catch (const RuntimeError& e) {
        description = e.Description();
    } catch (const std::bad_alloc&) {
        description = "out of memory";
    } catch (const std::exception& e) {
        description = e.what();
    }
    emscripten::val::global("Error").new_(description).throw_();
}

}  // namespace gapwell::web
