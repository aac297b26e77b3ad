#include "update/DoUpdate.h"

#include <unistd.h>

#include <cerrno>
#include <optional>

#include "base/RuntimeError.h"
#include "platform/Platform.h"
#include "services/ErrorScope.h"
#include "update/HandOverScript.h"
#include "update/InstallFiles.h"
#include "update/InstallPlan.h"
#include "update/UniqueTag.h"
#include "update/UpdatePaths.h"

namespace gapwell {

namespace {

// Reports a missing new executable through `scope` (Retry looks again); true once it is there.
bool RequireNewExecutable(ErrorScope& scope, const std::string& path) {
    scope.Step([&] {
        if (!IsNewExecutable(path)) {
            throw ErrnoError(ENOENT, path);
        }
    });
    return !scope.Aborted() && IsNewExecutable(path);
}

}  // namespace

bool DoUpdate(const std::string& ArchivePath, const std::string& UpdatesFolder) {
    return DoUpdate(ArchivePath, UpdatesFolder, InstallOptions{});
}

bool DoUpdate(const std::string& ArchivePath, const std::string& UpdatesFolder,
              const InstallOptions& options) {
    ErrorScope scope("DoUpdate", "frmUpdate");
    std::optional<InstallPlan> plan;
    scope.Step([&] {
        plan = MakeInstallPlan(ArchivePath, UpdatesFolder, CurrentPlatform().ProgramFolder(),
                               GetUniqueTag());
    });
    if (!plan) {
        return false;
    }
    scope.Step([&] { DeleteLeftoverScripts(*plan); });
    // The archive's signature, where the build carries a key, was checked when its download
    // completed; nothing has read its contents before this.
    scope.Step(
        [&] { ExtractTopLevelFiles(plan->archivePath, plan->updatesFolder, options.bounds); });
    scope.Step([&] { PrepareNewExecutable(*plan); });
    // Nothing moves into the program folder unless the archive brought a new executable.
    if (!RequireNewExecutable(scope, plan->updatesFolder + plan->NewExecutable())) {
        return false;
    }
    scope.Step([&] { MoveFilesInto(plan->updatesFolder, plan->appFolder); });
    scope.Step([&] { PutArchiveBack(*plan); });
    if (!RequireNewExecutable(scope, plan->appFolder + plan->NewExecutable())) {
        return false;
    }
    bool written = false;
    scope.Step([&] {
        WriteHandOverScript(plan->scriptPath,
                            HandOverScript(plan->Executable(), options.waitSeconds));
        written = true;
    });
    bool started = false;
    const int processId = options.processId != 0 ? options.processId : ::getpid();
    scope.Step([&] {
        if (written) {
            CurrentPlatform().StartHiddenProcess(
                "/bin/sh", {plan->scriptPath, std::to_string(processId)}, plan->appFolder);
            started = true;
        }
    });
    return started;
}

}  // namespace gapwell
