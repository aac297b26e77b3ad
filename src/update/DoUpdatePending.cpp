// Placeholder until the installer (DoUpdate.cpp) joins this library: this build cannot install
// an update, and Finish reports that like any other failed installation. Remove this file with
// the installer's arrival; both together do not link.

#include "base/RuntimeError.h"
#include "services/ErrorScope.h"
#include "update/DoUpdate.h"

namespace gapwell {

bool DoUpdate(const std::string& /*ArchivePath*/, const std::string& /*UpdatesFolder*/) {
    ErrorScope scope("DoUpdate", "frmUpdate");
    scope.Step([] { throw RuntimeError(38, "Installing updates is not available in this build"); });
    return false;
}

}  // namespace gapwell
