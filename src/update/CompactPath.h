#pragma once

#include <cstdint>
#include <string>

namespace gapwell {

// A path of more than `maxChars` characters (UTF-8 code points) shortened to at most
// `maxChars`: the leading folders that fit, then ".../", then the file name, as in
// "/home/ann/.../Updates/GPW.zip" for a long folder. When even ".../" and the file name do not
// fit, the file name alone is cut and ends in "...". Shorter paths are returned unchanged.
std::string CompactPath(const std::string& path, std::int32_t maxChars);

}  // namespace gapwell
