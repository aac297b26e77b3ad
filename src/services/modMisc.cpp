#include "services/modMisc.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <memory>

namespace gapwell {

namespace {

bool IsHiddenName(const std::string& name) {
    return !name.empty() && name.front() == '.';
}

bool IsNormalFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// Whether a visible normal file in `folder` matches the wildcard pattern `pattern`.
bool AnyFileMatches(const std::string& folder, const std::string& pattern) {
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) {
        return false;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        // Backslash is an ordinary file-name character here, not an escape.
        if (!IsHiddenName(name) && ::fnmatch(pattern.c_str(), name.c_str(), FNM_NOESCAPE) == 0 &&
            IsNormalFile(folder + "/" + name)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool FileExists(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (IsHiddenName(name)) {
        return false;
    }
    // The exact name first: a file called "Game [U].gba" exists even though, read as a
    // pattern, its brackets would only match "Game U.gba".
    if (IsNormalFile(path)) {
        return true;
    }
    if (name.empty()) {
        return false;
    }
    if (slash == std::string::npos) {
        return AnyFileMatches(".", name);
    }
    return AnyFileMatches(slash == 0 ? "/" : path.substr(0, slash), name);
}

}  // namespace gapwell
