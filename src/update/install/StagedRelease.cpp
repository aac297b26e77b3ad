#include "update/install/StagedRelease.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <stdio.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "base/RuntimeError.h"
#include "platform/Platform.h"
#include "services/modErrorHandler.h"
#include "update/files/EntryHash.h"
#include "update/files/UniqueTag.h"
#include "update/files/UpdatePaths.h"
#include "update/install/FolderMove.h"
#include "update/install/HandOverScript.h"
#include "update/install/InstallJournal.h"
#include "update/install/InstallLock.h"
#include "update/install/ReleaseNames.h"

namespace gapwell {

namespace {

// The one name that `path` adds to `folder` (both end in "/" where they are folders).
std::string NameInside(const std::string& folder, std::string path) {
    if (!path.starts_with(folder)) {
        throw RuntimeError(EINVAL, "Not in " + folder + ": " + path);
    }
    if (path.ends_with('/')) {
        path.pop_back();
    }
    std::string name = path.substr(folder.size());
    if (!IsPlainName(name)) {
        throw RuntimeError(EINVAL, "Not directly in " + folder + ": " + path);
    }
    return name;
}

// The running program's mode bits less setuid, setgid and write for others, executable by its
// owner at least; 0755 when the program folder holds no regular file of its name.
mode_t NewProgramMode(int appFolder, const std::string& programName) {
    const std::optional<struct stat> running = EntryStatus(appFolder, programName);
    if (!running || !S_ISREG(running->st_mode)) {
        return 0755;
    }
    return (running->st_mode & 0755) | S_IXUSR;
}

// Gives the unpacked program in `incoming` the mode it keeps and its travelling name, which it
// returns; an empty program file is refused.
std::string StageProgram(int incoming, int appFolder, const std::string& programName) {
    const std::optional<struct stat> program = EntryStatus(incoming, programName);
    if (!program || program->st_size == 0) {
        throw RuntimeError(ENOENT, "The archive's program file is empty: " + programName);
    }
    std::string travelling = programName + kTravellingSuffix;
    if (::fchmodat(incoming, programName.c_str(), NewProgramMode(appFolder, programName), 0) != 0 ||
        ::renameat(incoming, programName.c_str(), incoming, travelling.c_str()) != 0) {
        throw ErrnoError(errno, programName);
    }
    return travelling;
}

UniqueFd MakeSubfolder(int parent, const std::string& name, const std::string& path) {
    if (::mkdirat(parent, name.c_str(), 0700) != 0) {
        throw ErrnoError(errno, path);
    }
    return OpenSubfolder(parent, name, path);
}

// The system's version as Bug.log's records give it.
std::string SystemVersionText() {
    const OsVersionInfo system = CurrentPlatform().SystemVersion();
    return std::to_string(system.major) + "." + std::to_string(system.minor) + "." +
           std::to_string(system.build);
}

}  // namespace

StagedRelease::StagedRelease(std::string_view archive, const std::string& archiveName,
                             const std::string& updatesFolder, const ExtractBounds& bounds,
                             int waitSeconds)
    : appFolder_(AddBackslash(CurrentPlatform().ProgramFolder())) {
    const std::string programName = CurrentPlatform().ProgramFileName();
    const std::string updatesName = NameInside(appFolder_, updatesFolder);
    if (!IsPlainName(programName)) {
        throw RuntimeError(EINVAL, "No program file name: " + programName);
    }
    app_ = OpenFolder(appFolder_);
    updates_ = OpenSubfolder(app_.Get(), updatesName, updatesFolder);
    work_.parent = updates_.Get();
    work_.name = MakeFreshFolder(updates_.Get(), kWorkFolderPrefix);
    const std::string work = AddBackslash(updatesFolder) + work_.name;
    const UniqueFd workFolder = OpenSubfolder(updates_.Get(), work_.name, work);
    lock_.emplace(InstallLock::Create(workFolder.Get()));
    incoming_ = MakeSubfolder(workFolder.Get(), kIncomingFolder, work);
    aside_ = MakeSubfolder(workFolder.Get(), kAsideFolder, work);

    names_ = ExtractTopLevelFiles(archive, archiveName, incoming_.Get(), bounds);
    CheckReleaseNames(names_, {programName, updatesName}, app_.Get());
    const std::string travelling = StageProgram(incoming_.Get(), app_.Get(), programName);
    std::replace(names_.begin(), names_.end(), programName, travelling);
    const std::optional<std::string> hash = SHA256OfEntry(incoming_.Get(), travelling);
    if (!hash) {
        throw RuntimeError(EIO, "The new program file cannot be read: " + programName);
    }
    programHash_ = *hash;
    scriptName_ = "DeleteOld_" + GetUniqueTag() + ".sh";
    names_.push_back(scriptName_);
    WriteHandOverScript(
        incoming_.Get(), scriptName_,
        HandOverScript({programName, waitSeconds, updatesName + "/" + work_.name, names_,
                        scriptName_, CurrentPlatform().Locations().logFolder + "/" + kBugLogName,
                        SystemVersionText()}));
}

void StagedRelease::MoveInAndHandOver(int processId) {
    const UniqueFd work = OpenSubfolder(updates_.Get(), work_.name, work_.name);
    const MoveFolders folders{app_.Get(), incoming_.Get(), aside_.Get()};
    // An earlier attempt whose undo did not complete left its journal: complete that first.
    if (const std::optional<JournalState> left = ReadJournal(work.Get(), work_.name, *lock_)) {
        const std::string failure = UndoMoves(folders, left->moves).failure;
        if (!failure.empty() || !RemoveJournal(work.Get())) {
            throw RuntimeError(EIO,
                               "The files of an earlier attempt could not be put back: " + failure);
        }
    }
    InstallJournal journal(work.Get(), *lock_, CurrentPlatform().ProgramFileName(), programHash_);
    FolderMove move(folders, journal);
    try {
        for (const std::string& name : FolderNames(app_.Get())) {
            if (::fnmatch(kHandOverScriptPattern, name.c_str(), 0) == 0 &&
                !IsFolderEntry(app_.Get(), name)) {
                move.SetAside(name);
            }
        }
        for (const std::string& name : names_) {
            move.BringIn(name);
        }
        journal.RecordMovedIn();
        CurrentPlatform().StartHiddenProcess(
            "/bin/sh", {appFolder_ + scriptName_, std::to_string(processId)}, appFolder_);
        // The hand-over script finishes the installation or undoes it from the work folder.
        work_.keep = true;
        lock_->KeepUntilExit();
    } catch (const std::exception& failure) {
        if (!move.PutBack() || !RemoveJournal(work.Get())) {
            work_.keep = true;
            throw RuntimeError(EIO, std::string(failure.what()) +
                                        "; not every replaced file could be put back, they "
                                        "are kept in " +
                                        work_.name +
                                        " of the updates folder and put back at the next start");
        }
        throw;
    }
}

}  // namespace gapwell
