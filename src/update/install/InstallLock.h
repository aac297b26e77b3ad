#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>

#include "base/PosixFile.h"

namespace gapwell {

// The files "install-id" and "hand-over" in an installation's work folder, both created
// exclusively (mode 0600) when the work folder is made. The first holds the installation's random
// id, which its journal repeats. Each carries an exclusive lock (flock): the installer holds the
// first while it stages and moves files, the hand-over script the second while it finishes or
// undoes the installation. The installer keeps its own until the program ends, and the script
// takes its own as soon as it starts, before it waits for the program's end. Whoever takes both
// locks without waiting knows that nobody is installing there.
inline constexpr char kInstallIdName[] = "install-id";
inline constexpr char kHandOverLockName[] = "hand-over";

class InstallLock {
  public:
    // Creates the two files in `workFolder` (a descriptor), the id file with a fresh random id,
    // and takes the installer's lock. Throws RuntimeError.
    static InstallLock Create(int workFolder);

    // Both locks of the installation in `workFolder`, named `path` in reports, taken without
    // waiting; nullopt while another process holds one. Throws RuntimeError when a file is
    // missing or not one this user's installer made: a link or no regular file, another owner,
    // any mode but 0600, or no id in the id file.
    static std::optional<InstallLock> TryTake(int workFolder, const std::string& path);

    // The installer, once it has started the hand-over script: keeps its lock until this
    // process ends, whatever becomes of this object.
    void KeepUntilExit() { (void)idFile_.Release(); }

    // The installation's id: 32 lower-case hex digits.
    const std::string& Id() const { return id_; }

  private:
    InstallLock(UniqueFd idFile, UniqueFd handOver, std::string id)
        : idFile_(std::move(idFile)), handOver_(std::move(handOver)), id_(std::move(id)) {}

    UniqueFd idFile_;  // closing it releases the lock
    UniqueFd handOver_;
    std::string id_;
};

// Opens the file `name` of the work folder `workFolder` (named `path` in reports) for reading
// when it is a regular file of this user's that nobody else may change (mode 0600); never
// follows a link or blocks on a FIFO. Throws RuntimeError (ENOENT when it is missing, EPERM when
// it is not such a file).
UniqueFd OpenOwnPrivateFile(int workFolder, const char* name, const std::string& path);

// Whether `status` describes an entry of this user's that nobody else may change: owned by the
// effective user and with exactly the permission bits `mode`.
bool IsOwnPrivateEntry(const struct stat& status, mode_t mode);

}  // namespace gapwell
