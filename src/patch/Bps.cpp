#include <algorithm>

#include "patch/PatchBytes.h"
#include "patch/PatchCodecs.h"
#include "patch/Patches.h"

namespace gapwell::patch {

namespace {

enum Action : std::uint64_t { SourceRead = 0, TargetRead = 1, SourceCopy = 2, TargetCopy = 3 };

void AppendAction(std::string& out, Action action, std::uint64_t length) {
    AppendNumber(out, (length - 1) << 2 | action);
}

// The source offset that a copy's relative offset (sign in bit 0) moves `at` to.
std::uint64_t Moved(std::uint64_t at, std::uint64_t relative) {
    const std::uint64_t distance = relative >> 1;
    if ((relative & 1) != 0) {
        if (distance > at) {
            RefusePatch("the patch is damaged: a copy starts before the file's start");
        }
        return at - distance;
    }
    return at + distance;
}

}  // namespace

// Unchanged bytes are read from the source, changed ones carried in the patch: the target is
// built front to back.
std::string MakeBps(std::string_view source, std::string_view target) {
    std::string out = "BPS1";
    AppendNumber(out, source.size());
    AppendNumber(out, target.size());
    AppendNumber(out, 0);  // no metadata
    std::size_t at = 0;
    for (const ByteRange& changed : ChangedRanges(source, target)) {
        const auto first = static_cast<std::size_t>(changed.first);
        const auto end = std::min(static_cast<std::size_t>(changed.end), target.size());
        if (first >= end) {
            continue;  // bytes cut from the source's end: the target's size says so
        }
        if (first > at) {
            AppendAction(out, SourceRead, first - at);
        }
        AppendAction(out, TargetRead, end - first);
        out.append(target.substr(first, end - first));
        at = end;
    }
    if (target.size() > at) {
        AppendAction(out, SourceRead, target.size() - at);
    }
    AppendChecksums(out, source, target);
    return out;
}

std::string ApplyBps(std::string_view patch, std::string_view source, std::uint32_t sourceCrc) {
    FramedPatch framed = OpenFramedPatch(patch, source, sourceCrc);
    PatchReader& reader = framed.body;
    // At most kLargestPatchedRom: it fits a size_t, as each length checked against it does.
    const auto targetSize = static_cast<std::size_t>(framed.targetSize);
    reader.Bytes(reader.Number());  // metadata, not needed to patch
    std::string target;
    target.reserve(targetSize);
    std::uint64_t sourceAt = 0;
    std::uint64_t targetAt = 0;
    while (!reader.AtEnd()) {
        const std::uint64_t command = reader.Number();
        if ((command >> 2) >= targetSize - target.size()) {
            RefusePatch("the patch is damaged: it writes past the target's end");
        }
        const auto length = static_cast<std::size_t>(command >> 2) + 1;
        const std::size_t out = target.size();
        switch (command & 3) {
            case SourceRead:
                if (out + length > source.size()) {
                    RefusePatch("the patch is damaged: it reads past the source's end");
                }
                target.append(source.substr(out, length));
                break;
            case TargetRead:
                target.append(reader.Bytes(length));
                break;
            case SourceCopy:
                sourceAt = Moved(sourceAt, reader.Number());
                if (sourceAt + length > source.size()) {
                    RefusePatch("the patch is damaged: it copies past the source's end");
                }
                target.append(source.substr(static_cast<std::size_t>(sourceAt), length));
                sourceAt += length;
                break;
            default:
                // Byte by byte: the copy may read what it writes (a repeated pattern).
                targetAt = Moved(targetAt, reader.Number());
                if (targetAt >= out) {
                    RefusePatch("the patch is damaged: it copies target bytes not yet written");
                }
                for (std::uint64_t i = 0; i < length; ++i) {
                    target += target[static_cast<std::size_t>(targetAt++)];
                }
                break;
        }
    }
    if (target.size() != targetSize) {
        RefusePatch("the patch is damaged: it makes " + std::to_string(target.size()) +
                    " bytes, not the " + std::to_string(targetSize) + " it announces");
    }
    CheckTargetCrc(target, framed.targetCrc);
    return target;
}

}  // namespace gapwell::patch
