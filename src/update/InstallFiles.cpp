#include "update/InstallFiles.h"

#include <fnmatch.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/RuntimeError.h"

namespace gapwell {

namespace {

namespace fs = std::filesystem;

bool IsRegularFile(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

void ThrowOnError(const std::error_code& error, const std::string& path) {
    if (error) {
        throw ErrnoError(error.value(), path);
    }
}

// rename(2), or on another file system a copy beside the target renamed over it.
void MoveFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) {
        return;
    }
    if (errno != EXDEV) {
        throw ErrnoError(errno, to);
    }
    const std::string copy = to + ".moving";
    std::error_code error;
    fs::remove(copy, error);
    fs::copy_file(from, copy, error);
    ThrowOnError(error, copy);
    if (::rename(copy.c_str(), to.c_str()) != 0) {
        throw ErrnoError(errno, to);
    }
    fs::remove(from, error);
    ThrowOnError(error, from);
}

}  // namespace

void DeleteLeftoverScripts(const InstallPlan& plan) {
    std::error_code error;
    fs::directory_iterator entries(plan.appFolder, error);
    ThrowOnError(error, plan.appFolder);
    for (const fs::directory_entry& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (::fnmatch(kHandOverScriptPattern, name.c_str(), 0) == 0 && !entry.is_directory(error)) {
            fs::remove(entry.path(), error);
            ThrowOnError(error, entry.path().string());
        }
    }
}

void PrepareNewExecutable(const InstallPlan& plan) {
    const std::string unpacked = plan.updatesFolder + plan.Executable();
    if (!IsRegularFile(unpacked)) {
        return;
    }
    const std::string running = plan.appFolder + plan.Executable();
    struct stat status {};
    if (::stat(running.c_str(), &status) != 0) {
        throw ErrnoError(errno, running);
    }
    if (::chmod(unpacked.c_str(), status.st_mode & 0777) != 0) {
        throw ErrnoError(errno, unpacked);
    }
    const std::string travelling = plan.updatesFolder + plan.NewExecutable();
    if (::rename(unpacked.c_str(), travelling.c_str()) != 0) {
        throw ErrnoError(errno, travelling);
    }
}

bool IsNewExecutable(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0;
}

void MoveFilesInto(const std::string& fromFolder, const std::string& toFolder) {
    std::error_code error;
    fs::directory_iterator entries(fromFolder, error);
    ThrowOnError(error, fromFolder);
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : entries) {
        if (IsRegularFile(entry.path().string())) {
            names.push_back(entry.path().filename().string());
        }
    }
    for (const std::string& name : names) {
        MoveFile(fromFolder + name, toFolder + name);
    }
}

void PutArchiveBack(const InstallPlan& plan) {
    const std::string archiveName = plan.baseName + ".zip";
    const std::string moved = plan.appFolder + archiveName;
    if (IsRegularFile(moved)) {
        MoveFile(moved, plan.updatesFolder + archiveName);
    }
}

}  // namespace gapwell
