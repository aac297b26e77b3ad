#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "patch/PatchBytes.h"

// Each format's writer and reader, behind Patches.h.
namespace gapwell::patch {

std::string MakeBps(std::string_view source, std::string_view target);
// The source's CRC-32 is given: a check of several patches works it out once.
std::string ApplyBps(std::string_view patch, std::string_view source, std::uint32_t sourceCrc);
std::string MakeUps(std::string_view source, std::string_view target);
std::string ApplyUps(std::string_view patch, std::string_view source, std::uint32_t sourceCrc);
std::string MakeIps(std::string_view source, std::string_view target);
std::string ApplyIps(std::string_view patch, std::string_view source);

// Refuses a target larger than a ROM may be.
void CheckTargetSize(std::uint64_t size);

// BPS and UPS share their frame: the magic, the source's and the target's sizes, the body, then
// the CRC-32s of source, target and the patch before it.
struct FramedPatch {
    PatchReader body;  // after the two sizes, up to the CRC-32s
    std::uint64_t targetSize = 0;
    std::uint32_t targetCrc = 0;
};

// Checks the patch's own CRC-32, reads its sizes and refuses it when it was made for another ROM
// than `source` (whose CRC-32 is `sourceCrc`; the refusal gives expected and actual size and CRC)
// or makes too large a target.
FramedPatch OpenFramedPatch(std::string_view patch, std::string_view source,
                            std::uint32_t sourceCrc);
// Refuses a target whose CRC-32 is not `expected`.
void CheckTargetCrc(std::string_view target, std::uint32_t expected);
// The three CRC-32s that end a BPS or UPS patch.
void AppendChecksums(std::string& out, std::string_view source, std::string_view target);

}  // namespace gapwell::patch
