#include "patch/Patches.h"

#include <algorithm>

#include "patch/Crc32.h"
#include "patch/PatchBytes.h"
#include "patch/PatchCodecs.h"
#include "search/Numbers.h"

namespace gapwell {

namespace patch {

namespace {

std::string CrcHex(std::uint32_t crc) {
    std::string hex = ToHex(crc);
    return std::string(8 - hex.size(), '0') + hex;
}

}  // namespace

void CheckTargetSize(std::uint64_t size) {
    if (size > static_cast<std::uint64_t>(kLargestPatchedRom)) {
        RefusePatch("the patch makes a ROM of " + std::to_string(size) + " bytes, more than " +
                    std::to_string(kLargestPatchedRom));
    }
}

FramedPatch OpenFramedPatch(std::string_view patch, std::string_view source,
                            std::uint32_t sourceCrc) {
    // The magic and three CRC-32s at least.
    if (patch.size() < 16) {
        RefusePatch("the patch is cut short");
    }
    const std::size_t bodyEnd = patch.size() - 12;
    if (Crc32(patch.substr(0, patch.size() - 4)) != Little32At(patch, patch.size() - 4)) {
        RefusePatch("the patch is damaged: its own CRC32 does not match");
    }
    FramedPatch framed{PatchReader(patch, bodyEnd), 0, Little32At(patch, bodyEnd + 4)};
    framed.body.Bytes(4);
    const std::uint64_t sourceSize = framed.body.Number();
    framed.targetSize = framed.body.Number();
    const std::uint32_t expectedCrc = Little32At(patch, bodyEnd);
    if (sourceSize != source.size() || expectedCrc != sourceCrc) {
        RefusePatch("the patch is for another ROM: it expects " + std::to_string(sourceSize) +
                    " bytes with CRC32 " + CrcHex(expectedCrc) + ", the ROM has " +
                    std::to_string(source.size()) + " bytes with CRC32 " + CrcHex(sourceCrc));
    }
    CheckTargetSize(framed.targetSize);
    return framed;
}

void CheckTargetCrc(std::string_view target, std::uint32_t expected) {
    if (Crc32(target) != expected) {
        RefusePatch("the patched ROM's CRC32 is not the one the patch expects");
    }
}

void AppendChecksums(std::string& out, std::string_view source, std::string_view target) {
    AppendLittle32(out, Crc32(source));
    AppendLittle32(out, Crc32(target));
    AppendLittle32(out, Crc32(out));
}

}  // namespace patch

std::optional<PatchFormat> PatchFormatOfName(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) {
        return std::nullopt;
    }
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    if (extension == "bps") {
        return PatchFormat::Bps;
    }
    if (extension == "ups") {
        return PatchFormat::Ups;
    }
    if (extension == "ips") {
        return PatchFormat::Ips;
    }
    return std::nullopt;
}

std::string MakePatch(PatchFormat format, std::string_view source, std::string_view target) {
    switch (format) {
        case PatchFormat::Bps:
            return patch::MakeBps(source, target);
        case PatchFormat::Ups:
            return patch::MakeUps(source, target);
        case PatchFormat::Ips:
            break;
    }
    return patch::MakeIps(source, target);
}

std::string ApplyPatch(std::string_view patch, std::string_view source) {
    return ApplyPatch(patch, source, Crc32(source));
}

std::string ApplyPatch(std::string_view patch, std::string_view source, std::uint32_t sourceCrc) {
    if (patch.starts_with("BPS1")) {
        return patch::ApplyBps(patch, source, sourceCrc);
    }
    if (patch.starts_with("UPS1")) {
        return patch::ApplyUps(patch, source, sourceCrc);
    }
    if (patch.starts_with("PATCH")) {
        return patch::ApplyIps(patch, source);
    }
    patch::RefusePatch("not a BPS, UPS or IPS patch (it starts with neither BPS1, UPS1 nor PATCH)");
}

std::vector<ByteRange> ChangedRanges(std::string_view source, std::string_view target) {
    // Equal stretches, most of a ROM, are passed over a block at a time.
    constexpr std::size_t kBlock = 4096;
    std::vector<ByteRange> ranges;
    const std::size_t common = std::min(source.size(), target.size());
    for (std::size_t at = 0; at < common;) {
        const std::size_t block = std::min(kBlock, common - at);
        if (source.compare(at, block, target, at, block) == 0) {
            at += block;
            continue;
        }
        const std::size_t blockEnd = at + block;
        for (; at < blockEnd; ++at) {
            if (source[at] == target[at]) {
                continue;
            }
            const auto first = static_cast<std::int64_t>(at);
            while (at < common && source[at] != target[at]) {
                ++at;
            }
            if (!ranges.empty() && ranges.back().end == first) {
                ranges.back().end = static_cast<std::int64_t>(at);
            } else {
                ranges.push_back({first, static_cast<std::int64_t>(at)});
            }
        }
    }
    const auto longer = static_cast<std::int64_t>(std::max(source.size(), target.size()));
    if (longer > static_cast<std::int64_t>(common)) {
        if (!ranges.empty() && ranges.back().end == static_cast<std::int64_t>(common)) {
            ranges.back().end = longer;
        } else {
            ranges.push_back({static_cast<std::int64_t>(common), longer});
        }
    }
    return ranges;
}

}  // namespace gapwell
