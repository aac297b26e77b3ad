#pragma once

#include <string>

namespace gapwell {

// The update folder's URL: the environment variable GAPWELL_UPDATE_URL when it is set and not
// empty (a missing final "/" is added), otherwise the built-in base URL.
std::string UpdateBaseUrl();

// The version-information file: the update folder + the program's title + ".txt".
std::string VersionFileUrl();

}  // namespace gapwell
