#include <algorithm>

#include "patch/PatchBytes.h"
#include "patch/PatchCodecs.h"

namespace gapwell::patch {

namespace {

// The source byte at `at`; past its end the source counts as zeros.
char SourceByte(std::string_view source, std::size_t at) {
    return at < source.size() ? source[at] : '\0';
}

}  // namespace

// Hunks of the XOR of target and source: the bytes to skip, then the non-zero XOR bytes and a
// zero that ends them (and stands for one unchanged byte).
std::string MakeUps(std::string_view source, std::string_view target) {
    std::string out = "UPS1";
    AppendNumber(out, source.size());
    AppendNumber(out, target.size());
    std::size_t at = 0;
    for (std::size_t i = 0; i < target.size();) {
        if (target[i] == SourceByte(source, i)) {
            ++i;
            continue;
        }
        AppendNumber(out, i - at);
        for (; i < target.size() && target[i] != SourceByte(source, i); ++i) {
            out += static_cast<char>(target[i] ^ SourceByte(source, i));
        }
        out += '\0';
        at = ++i;
    }
    AppendChecksums(out, source, target);
    return out;
}

std::string ApplyUps(std::string_view patch, std::string_view source, std::uint32_t sourceCrc) {
    FramedPatch framed = OpenFramedPatch(patch, source, sourceCrc);
    PatchReader& reader = framed.body;
    // At most kLargestPatchedRom: it fits a size_t.
    const auto targetSize = static_cast<std::size_t>(framed.targetSize);
    std::string target(targetSize, '\0');
    std::copy_n(source.begin(), std::min(source.size(), targetSize), target.begin());
    std::size_t at = 0;
    while (!reader.AtEnd()) {
        const std::uint64_t skip = reader.Number();
        if (skip > targetSize - std::min(at, targetSize)) {
            RefusePatch("the patch is damaged: it skips past the target's end");
        }
        at += static_cast<std::size_t>(skip);
        for (std::uint8_t x = reader.Byte(); x != 0; x = reader.Byte()) {
            if (at >= targetSize) {
                RefusePatch("the patch is damaged: it writes past the target's end");
            }
            target[at] = static_cast<char>(static_cast<std::uint8_t>(target[at]) ^ x);
            ++at;
        }
        ++at;
    }
    CheckTargetCrc(target, framed.targetCrc);
    return target;
}

}  // namespace gapwell::patch
