#pragma once

#include <string>

namespace gapwell {

// The procedure and module names that a failed step is reported under (the error box and
// Bug.log show them). The window that runs Live Update gives its own, so that a report names
// what the user was doing.
struct ReportName {
    std::string procedure;
    std::string module;
};

}  // namespace gapwell
