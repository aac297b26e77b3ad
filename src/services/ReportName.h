#pragma once

#include <string>

namespace gapwell {

// The procedure and module names that a failed step is reported under (an ErrorScope's; the
// error box and Bug.log show them). A core procedure run for a window takes the window's, so
// that a report names what the user was doing.
struct ReportName {
    std::string procedure;
    std::string module;
};

}  // namespace gapwell
