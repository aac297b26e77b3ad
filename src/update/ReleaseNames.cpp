#include "update/ReleaseNames.h"

#include <fnmatch.h>

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

}  // namespace

void CheckReleaseNames(const std::vector<std::string>& names, const ReleaseNameRules& rules,
                       int appFolder) {
    if (std::find(names.begin(), names.end(), rules.programName) == names.end()) {
        throw RuntimeError(ENOENT, "The archive holds no program file " + rules.programName);
    }
    for (const std::string& name : names) {
        if (name.ends_with(kTravellingSuffix)) {
            throw Refusal("a file named like a new program in transit", name);
        }
        if (name == rules.updatesFolderName) {
            throw Refusal("a file named like the updates folder", name);
        }
        if (::fnmatch(kHandOverScriptPattern, name.c_str(), 0) == 0) {
            throw Refusal("a file named like a hand-over script", name);
        }
        if (name == kBugLogName || name == kAutomaticCheckName || name == kSkippedVersionName) {
            throw Refusal("a file named like one the program keeps for the user", name);
        }
        if (IsFolderEntry(appFolder, name)) {
            throw Refusal("a file named like a folder of the program folder", name);
        }
    }
}

}  // namespace gapwell
