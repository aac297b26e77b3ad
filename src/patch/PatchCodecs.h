#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Each format's writer and reader, behind Patches.h.
namespace gapwell::patch {

std::string MakeBps(std::string_view source, std::string_view target);
// The source's CRC-32 is given: a check of several patches works it out once.
std::string ApplyBps(std::string_view patch, std::string_view source, std::uint32_t sourceCrc);
std::string MakeUps(std::string_view source, std::string_view target);
std::string ApplyUps(std::string_view patch, std::string_view source, std::uint32_t sourceCrc);
std::string MakeIps(std::string_view source, std::string_view target);
std::string ApplyIps(std::string_view patch, std::string_view source);

// Refuses a patch made for another ROM than `source` (whose CRC-32 is `sourceCrc`).
void CheckSource(std::uint64_t expectedSize, std::uint32_t expectedCrc, std::string_view source,
                 std::uint32_t sourceCrc);
// Refuses a target larger than a ROM may be.
void CheckTargetSize(std::uint64_t size);
// Refuses a patch whose own CRC-32 (its last four bytes) does not match the rest.
void CheckPatchCrc(std::string_view patch);

}  // namespace gapwell::patch
