#pragma once

#include <string>

#include "platform/Platform.h"

namespace gapwell {

// Hour, minute and second without leading zeros, then a letter from "b" to "z" picked by
// `uniform` in [0, 1): at 09:05:07 with 0.36 it reads "957k".
std::string UniqueTag(const LocalDateTime& time, double uniform);

// UniqueTag for the platform's current time and a random number.
std::string GetUniqueTag();

}  // namespace gapwell
