#include "update/files/UniqueTag.h"

#include <algorithm>
#include <random>

namespace gapwell {

std::string UniqueTag(const LocalDateTime& time, double uniform) {
    const int letterIndex = std::clamp(static_cast<int>(uniform * 25), 0, 24);
    return std::to_string(time.hour) + std::to_string(time.minute) + std::to_string(time.second) +
           static_cast<char>('b' + letterIndex);
}

std::string GetUniqueTag() {
    static std::mt19937 random{std::random_device{}()};
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    return UniqueTag(CurrentPlatform().Now(), uniform(random));
}

}  // namespace gapwell
