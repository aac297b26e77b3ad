#pragma once

#include <optional>
#include <string>
#include <vector>

#include "alloc/Allocation.h"

namespace gapwell::cli {

// The forms a plan of placed blocks is written in, for the tools that read it.
enum class PlanFormat { Text, Json, Armips, Ea, C, Make, Ld };

inline constexpr std::int64_t kRomAddressBase = 0x08000000;

// The format named `name` (text, json, armips, ea, c, make, ld); nothing for another name.
std::optional<PlanFormat> PlanFormatNamed(const std::string& name);
// Whether the format gives ROM addresses (0x08000000 + offset) unless told otherwise: armips, c,
// make and ld do; text, json and ea (whose ORG and POIN take offsets) give offsets.
bool GivesRomAddresses(PlanFormat format);

// The plan of `placed` (in offset order), each NAME written as `prefix` + NAME: with
// `romAddresses` each offset as 0x08000000 + offset.
//   text:   NAME OFFSET SIZE        (OFFSET upper-case hex without prefix, SIZE decimal)
//   json:   {"blocks":[{"name":..,"offset" or "address":..,"size":..,"align":..,"moved":..}]}
//   armips: .definelabel NAME,0x08000000 and .definelabel NAME_SIZE,123
//   ea:     #define NAME 0x... and #define NAME_SIZE 123
//   c:      #define NAME 0x08000000u and #define NAME_SIZE 123u
//   make:   NAME := 0x08000000
//   ld:     NAME = 0x08000000;
// The names are checked beforehand (PlanNames.h).
std::string PlanText(const std::vector<Placement>& placed, const std::vector<Placement>& moved,
                     PlanFormat format, bool romAddresses, const std::string& prefix);

}  // namespace gapwell::cli
