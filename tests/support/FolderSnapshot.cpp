#include "support/FolderSnapshot.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <system_error>

#include "support/TempFiles.h"

namespace gapwell::test {

namespace {

namespace fs = std::filesystem;

std::string LinkTarget(const fs::path& link) {
    std::error_code error;
    return fs::read_symlink(link, error).string();
}

// The entry's kind, its mode bits in octal, and its bytes where it has any.
std::string Describe(const fs::path& entry) {
    struct stat facts {};
    if (::lstat(entry.c_str(), &facts) != 0) {
        return "unreadable";
    }
    const std::string mode = std::to_string(facts.st_mode & 07777);
    if (S_ISREG(facts.st_mode)) {
        return "file " + mode + " " + ReadText(entry);
    }
    if (S_ISDIR(facts.st_mode)) {
        return "folder " + mode;
    }
    if (S_ISLNK(facts.st_mode)) {
        return "link -> " + LinkTarget(entry);
    }
    return "special " + std::to_string(facts.st_mode);
}

}  // namespace

FolderSnapshot SnapshotFolder(const fs::path& folder) {
    FolderSnapshot entries;
    // recursive_directory_iterator never descends through a link unless asked to.
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        entries[fs::relative(entry.path(), folder).string()] = Describe(entry.path());
    }
    return entries;
}

std::string SnapshotDifference(const FolderSnapshot& before, const FolderSnapshot& after) {
    std::string lines;
    for (const auto& [name, facts] : before) {
        const auto now = after.find(name);
        if (now == after.end()) {
            lines += "- " + name + "\n";
        } else if (now->second != facts) {
            lines += "~ " + name + "\n";
        }
    }
    for (const auto& [name, facts] : after) {
        if (before.count(name) == 0) {
            lines += "+ " + name + "\n";
        }
    }
    return lines;
}

}  // namespace gapwell::test
