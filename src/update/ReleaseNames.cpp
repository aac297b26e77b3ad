#include "update/ReleaseNames.h"

#include <fnmatch.h>
#include <strings.h>

#include <algorithm>
#include <cerrno>

#include "base/RuntimeError.h"
#include "services/modErrorHandler.h"
#include "update/AutomaticCheck.h"
#include "update/HandOverScript.h"
#include "update/NoFollow.h"
#include "update/SkippedVersion.h"

namespace gapwell {

namespace {

RuntimeError Refusal(const std::string& why, const std::string& name) {
    return RuntimeError(EPERM, "The archive may not install " + why + ": " + name);
}

// A portable copy may live on a FAT or exFAT stick, whose names ignore case (ASCII letters).
bool SameNameAnyCase(const std::string& name, const char* reserved) {
    return ::strcasecmp(name.c_str(), reserved) == 0;
}

bool EndsWithAnyCase(const std::string& name, const std::string& suffix) {
    return name.size() >= suffix.size() &&
           SameNameAnyCase(name.substr(name.size() - suffix.size()), suffix.c_str());
}

}  // namespace

void CheckReleaseNames(const std::vector<std::string>& names, const ReleaseNameRules& rules,
                       int appFolder) {
    if (std::find(names.begin(), names.end(), rules.programName) == names.end()) {
        throw RuntimeError(ENOENT, "The archive holds no program file " + rules.programName);
    }
    for (const std::string& name : names) {
        if (EndsWithAnyCase(name, kTravellingSuffix)) {
            throw Refusal("a file named like a new program in transit", name);
        }
        if (SameNameAnyCase(name, rules.updatesFolderName.c_str())) {
            throw Refusal("a file named like the updates folder", name);
        }
        if (::fnmatch(kHandOverScriptPattern, name.c_str(), FNM_CASEFOLD) == 0) {
            throw Refusal("a file named like a hand-over script", name);
        }
        if (SameNameAnyCase(name, kBugLogName) || SameNameAnyCase(name, kAutomaticCheckName) ||
            SameNameAnyCase(name, kSkippedVersionName)) {
            throw Refusal("a file named like one the program keeps for the user", name);
        }
        if (IsFolderEntry(appFolder, name)) {
            throw Refusal("a file named like a folder of the program folder", name);
        }
    }
}

}  // namespace gapwell
