#include "update/install/DoUpdate.h"

#include <unistd.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"
#include "services/ErrorScope.h"
#include "update/files/UpdatePaths.h"
#include "update/install/StagedRelease.h"
#include "update/transfer/TransferBounds.h"

namespace gapwell {

bool DoUpdate(const std::string& archivePath, const std::string& updatesFolder) {
    return DoUpdate(archivePath, updatesFolder, InstallOptions{});
}

bool DoUpdate(const std::string& archivePath, const std::string& updatesFolder,
              const InstallOptions& options) {
    std::optional<std::vector<std::uint8_t>> archive;
    {
        ErrorScope scope(options.reportAs.procedure, options.reportAs.module);
        scope.Step([&] {
            int error = 0;
            archive = ReadWholeFile(archivePath, kMaxArchiveBytes, &error);
            if (!archive) {
                throw ErrnoError(error, archivePath);
            }
        });
    }
    if (!archive) {
        return false;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(archive->data()), archive->size());
    return DoUpdate(archivePath, bytes, updatesFolder, options);
}

bool DoUpdate(const std::string& archivePath, std::string_view archive,
              const std::string& updatesFolder, const InstallOptions& options) {
    ErrorScope scope(options.reportAs.procedure, options.reportAs.module);
    // The archive's signature, where the build carries a key, was checked on these very bytes
    // when its download completed.
    std::unique_ptr<StagedRelease> staged;
    scope.Step([&] {
        staged = std::make_unique<StagedRelease>(archive, GetFileName(archivePath), updatesFolder,
                                                 options.bounds, options.waitSeconds);
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
