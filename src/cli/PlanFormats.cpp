#include "cli/PlanFormats.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <set>
#include <utility>

#include "base/RuntimeError.h"
#include "cli/Json.h"
#include "search/Numbers.h"

namespace gapwell::cli {

namespace {

constexpr std::array<std::pair<const char*, PlanFormat>, 7> kFormatNames{{
    {"text", PlanFormat::Text},
    {"json", PlanFormat::Json},
    {"armips", PlanFormat::Armips},
    {"ea", PlanFormat::Ea},
    {"c", PlanFormat::C},
    {"make", PlanFormat::Make},
    {"ld", PlanFormat::Ld},
}};

const char* const kSizeSuffix = "_SIZE";

// An offset in upper-case hex without prefix; a ROM address always with eight digits (08...).
std::string AddressHex(std::int64_t offset, bool romAddress) {
    std::string hex =
        ToHex(static_cast<std::uint64_t>(offset + (romAddress ? kRomAddressBase : 0)));
    if (romAddress && hex.size() < 8) {
        hex.insert(0, 8 - hex.size(), '0');
    }
    return hex;
}

void RefuseClashingMacros(const std::vector<Placement>& placed) {
    std::set<std::string> names;
    for (const Placement& place : placed) {
        names.insert(place.name);
    }
    for (const Placement& place : placed) {
        if (names.count(place.name + kSizeSuffix) != 0) {
            throw RuntimeError(EINVAL, "blocks " + place.name + " and " + place.name + kSizeSuffix +
                                           " would both define " + place.name + kSizeSuffix +
                                           " in the c header");
        }
    }
}

std::string JsonPlan(const std::vector<Placement>& placed, const std::vector<Placement>& moved,
                     bool romAddresses) {
    std::string json = "{\"blocks\":[";
    for (const Placement& place : placed) {
        const bool hasMoved = std::any_of(moved.begin(), moved.end(), [&place](const Placement& m) {
            return m.name == place.name;
        });
        json += (&place == placed.data() ? "{" : ",{");
        json += "\"name\":" + JsonString(place.name) + ",\"" +
                (romAddresses ? "address" : "offset") +
                "\":" + std::to_string(place.offset + (romAddresses ? kRomAddressBase : 0)) +
                ",\"size\":" + std::to_string(place.size) +
                ",\"align\":" + std::to_string(place.align) +
                ",\"moved\":" + (hasMoved ? "true" : "false") + "}";
    }
    return json + "]}\n";
}

}  // namespace

std::optional<PlanFormat> PlanFormatNamed(const std::string& name) {
    for (const auto& [formatName, format] : kFormatNames) {
        if (name == formatName) {
            return format;
        }
    }
    return std::nullopt;
}

bool GivesRomAddresses(PlanFormat format) {
    return format == PlanFormat::Armips || format == PlanFormat::C || format == PlanFormat::Make ||
           format == PlanFormat::Ld;
}

std::string PlanText(const std::vector<Placement>& placed, const std::vector<Placement>& moved,
                     PlanFormat format, bool romAddresses) {
    if (format == PlanFormat::Json) {
        return JsonPlan(placed, moved, romAddresses);
    }
    std::string text;
    if (format == PlanFormat::C) {
        RefuseClashingMacros(placed);
        text = "/* Placed by gapwell alloc. */\n";
    }
    for (const Placement& place : placed) {
        const std::string hex = AddressHex(place.offset, romAddresses);
        const std::string size = std::to_string(place.size);
        switch (format) {
            case PlanFormat::Text:
                text += place.name + ' ' + hex + ' ' + size + '\n';
                break;
            case PlanFormat::Armips:
                text += ".definelabel " + place.name + ",0x" + hex + '\n';
                break;
            case PlanFormat::Ea:
                text += "#define " + place.name + " 0x" + hex + '\n';
                break;
            case PlanFormat::C:
                text += "#define " + place.name + " 0x" + hex + "u\n#define " + place.name +
                        kSizeSuffix + ' ' + size + "u\n";
                break;
            case PlanFormat::Make:
                text += place.name + " := 0x" + hex + '\n';
                break;
            case PlanFormat::Ld:
                text += place.name + " = 0x" + hex + ";\n";
                break;
            case PlanFormat::Json:
                break;
        }
    }
    return text;
}

}  // namespace gapwell::cli
