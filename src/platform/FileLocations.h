#pragma once

#include <string>

namespace gapwell {

// Where the program keeps its own files. A portable copy (a program folder the user can write:
// the build folder, an unpacked archive) keeps them beside the program and updates itself. An
// installed copy (a folder the user cannot write, such as /usr/bin) keeps them in the user's
// XDG folders, which are created when first written, and leaves updating to the package system.
struct FileLocations {
    std::string logFolder;     // Bug.log
    std::string configFolder;  // autoupdate.dat
    bool selfUpdating = false;

    bool operator==(const FileLocations&) const = default;
};

// The environment that places an installed copy's files (an unset variable is an empty text).
struct UserFolders {
    std::string home;
    std::string xdgStateHome;
    std::string xdgConfigHome;
};

// HOME (or the password database's home folder), XDG_STATE_HOME and XDG_CONFIG_HOME.
UserFolders UserFoldersFromEnvironment();

// True when the user may create files in `folder`: access() allows it and the permission bits
// let someone write. Root passes every access() test, so for root a folder whose bits let
// nobody write (mode 0555, as a package leaves nothing) counts as unwritable too.
bool IsWritableFolder(const std::string& folder);

// True for the folders where packages and system-wide installs put programs (/usr/..., /opt/...):
// a copy there is installed even when its user (root) may write the folder.
bool IsSystemProgramFolder(const std::string& folder);

FileLocations PortableLocations(const std::string& programFolder);

// The rule: a writable program folder is a portable copy; otherwise the files go to
// $XDG_STATE_HOME/<app id> (log) and $XDG_CONFIG_HOME/<app id> (configuration), defaulting to
// ~/.local/state and ~/.config when a variable is unset or not an absolute path.
FileLocations LocationsFor(const std::string& programFolder, bool programFolderWritable,
                           const UserFolders& user);

// The rule applied to this process: a writable folder outside the system's program folders is
// a portable copy; the environment places an installed copy's files.
FileLocations ProgramFileLocations(const std::string& programFolder);

}  // namespace gapwell
