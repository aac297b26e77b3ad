#include "update/DoUpdate.h"

#include <unistd.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"
#include "services/ErrorScope.h"
#include "update/StagedRelease.h"
#include "update/TransferBounds.h"
#include "update/UpdatePaths.h"

namespace gapwell {

bool DoUpdate(const std::string& ArchivePath, const std::string& UpdatesFolder) {
    return DoUpdate(ArchivePath, UpdatesFolder, InstallOptions{});
}

bool DoUpdate(const std::string& ArchivePath, const std::string& UpdatesFolder,
              const InstallOptions& options) {
    std::optional<std::vector<std::uint8_t>> archive;
    {
        ErrorScope scope("DoUpdate", "frmUpdate");
        scope.Step([&] {
            int error = 0;
            archive = ReadWholeFile(ArchivePath, kMaxArchiveBytes, &error);
            if (!archive) {
                throw ErrnoError(error, ArchivePath);
            }
        });
    }
    if (!archive) {
        return false;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(archive->data()), archive->size());
    return DoUpdate(ArchivePath, bytes, UpdatesFolder, options);
}

bool DoUpdate(const std::string& ArchivePath, std::string_view archive,
              const std::string& UpdatesFolder, const InstallOptions& options) {
    ErrorScope scope("DoUpdate", "frmUpdate");
    // The archive's signature, where the build carries a key, was checked on these very bytes
    // when its download completed.
    std::unique_ptr<StagedRelease> staged;
    scope.Step([&] {
        staged = std::make_unique<StagedRelease>(archive, GetFileName(ArchivePath), UpdatesFolder,
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
