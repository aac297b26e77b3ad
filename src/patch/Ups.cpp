#include <algorithm>

#include "patch/Crc32.h"
#include "patch/PatchBytes.h"
#include "patch/PatchCodecs.h"

namespace gapwell::patch {

namespace {

constexpr std::size_t kSmallestPatch = 18;

// The source byte at `at`; past its end the source counts as zeros.
char SourceByte(std::string_view source, std::uint64_t at) {
    return at < source.size() ? source[at] : '\0';
}

}  // namespace

// Hunks of the XOR of target and source: the bytes to skip, then the non-zero XOR bytes and a
// zero that ends them (and stands for one unchanged byte).
std::string MakeUps(std::string_view source, std::string_view target) {
    std::string out = "UPS1";
    AppendNumber(out, source.size());
    AppendNumber(out, target.size());
    std::uint64_t at = 0;
    for (std::uint64_t i = 0; i < target.size();) {
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
    AppendLittle32(out, Crc32(source));
    AppendLittle32(out, Crc32(target));
    AppendLittle32(out, Crc32(out));
    return out;
}

std::string ApplyUps(std::string_view patch, std::string_view source, std::uint32_t sourceCrc) {
    if (patch.size() < kSmallestPatch) {
        RefusePatch("the patch is cut short");
    }
    CheckPatchCrc(patch);
    const std::size_t bodyEnd = patch.size() - 12;
    PatchReader reader(patch, bodyEnd);
    reader.Bytes(4);
    const std::uint64_t sourceSize = reader.Number();
    const std::uint64_t targetSize = reader.Number();
    CheckSource(sourceSize, Little32At(patch, bodyEnd), source, sourceCrc);
    CheckTargetSize(targetSize);
    std::string target(targetSize, '\0');
    std::copy_n(source.begin(), std::min<std::uint64_t>(source.size(), targetSize), target.begin());
    std::uint64_t at = 0;
    while (!reader.AtEnd()) {
        const std::uint64_t skip = reader.Number();
        if (skip > targetSize - std::min(at, targetSize)) {
            RefusePatch("the patch is damaged: it skips past the target's end");
        }
        at += skip;
        for (std::uint8_t x = reader.Byte(); x != 0; x = reader.Byte()) {
            if (at >= targetSize) {
                RefusePatch("the patch is damaged: it writes past the target's end");
            }
            target[at] = static_cast<char>(static_cast<std::uint8_t>(target[at]) ^ x);
            ++at;
        }
        ++at;
    }
    if (Crc32(target) != Little32At(patch, bodyEnd + 4)) {
        RefusePatch("the patched ROM's CRC32 is not the one the patch expects");
    }
    return target;
}

}  // namespace gapwell::patch
