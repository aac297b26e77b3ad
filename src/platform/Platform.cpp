#include "platform/Platform.h"

#include <cassert>

namespace gapwell {

namespace {
Platform* current = nullptr;
}

Platform& CurrentPlatform() {
    assert(current != nullptr && "SetCurrentPlatform must run before the platform is used");
    return *current;
}

void SetCurrentPlatform(Platform* platform) {
    current = platform;
}

}  // namespace gapwell
