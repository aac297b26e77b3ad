#include "update/UpdatesFolder.h"

#include <filesystem>
#include <system_error>

#include "base/RuntimeError.h"
#include "update/UpdatePaths.h"

namespace gapwell {

namespace {

void ThrowOnError(const std::error_code& error, const std::filesystem::path& path) {
    if (error) {
        throw ErrnoError(error.value(), path.string());
    }
}

}  // namespace

void PrepareUpdatesFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!FolderExists(folder)) {
        fs::create_directories(folder, error);
        ThrowOnError(error, folder);
    }
    fs::directory_iterator entries(folder, error);
    ThrowOnError(error, folder);
    for (const fs::directory_entry& entry : entries) {
        if (!entry.is_directory(error) || entry.is_symlink(error)) {
            fs::remove(entry.path(), error);
            ThrowOnError(error, entry.path());
        }
    }
}

}  // namespace gapwell
