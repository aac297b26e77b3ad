#include "platform/Platform.h"

#include <cassert>

#include "base/PosixFile.h"

namespace gapwell {

namespace {
Platform* current = nullptr;
}  // namespace

Platform& CurrentPlatform() {
    assert(current != nullptr && "SetCurrentPlatform must run before the platform is used");
    return *current;
}

void SetCurrentPlatform(Platform* platform) {
    current = platform;
}

LocaleSettings LocaleSettingsFromEnvironment() {
    return {EnvironmentValue("LANGUAGE"), EnvironmentValue("LC_ALL"),
            EnvironmentValue("LC_MESSAGES"), EnvironmentValue("LANG")};
}

}  // namespace gapwell
