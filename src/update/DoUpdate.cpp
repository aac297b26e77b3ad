#include "update/DoUpdate.h"

#include <unistd.h>

#include <memory>

#include "services/ErrorScope.h"
#include "update/StagedRelease.h"

namespace gapwell {

bool DoUpdate(const std::string& ArchivePath, const std::string& UpdatesFolder) {
    return DoUpdate(ArchivePath, UpdatesFolder, InstallOptions{});
}

bool DoUpdate(const std::string& ArchivePath, const std::string& UpdatesFolder,
              const InstallOptions& options) {
    ErrorScope scope("DoUpdate", "frmUpdate");
    // The archive's signature, where the build carries a key, was checked when its download
    // completed; nothing has read its contents before this.
    std::unique_ptr<StagedRelease> staged;
    scope.Step([&] {
        staged = std::make_unique<StagedRelease>(ArchivePath, UpdatesFolder, options.bounds,
                                                 options.waitSeconds);
    });
    if (!staged) {
        return false;  // refused, or a step failed: the program folder is as it was
    }
    const int processId = options.processId != 0 ? options.processId : ::getpid();
    bool started = false;
    scope.Step([&] {
        staged->MoveInAndHandOver(processId);
        started = true;
    });
    return started;
}

}  // namespace gapwell
