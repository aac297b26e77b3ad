#include "cli/PlanFormats.h"

#include <algorithm>
#include <array>
#include <utility>

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

std::string JsonPlan(const std::vector<Placement>& placed, const std::vector<Placement>& moved,
                     bool romAddresses, const std::string& prefix) {
    std::string json = "{\"blocks\":[";
    for (const Placement& place : placed) {
        const bool hasMoved = std::any_of(moved.begin(), moved.end(), [&place](const Placement& m) {
            return m.name == place.name;
        });
        json += (&place == placed.data() ? "{" : ",{");
        json += "\"name\":" + JsonString(prefix + place.name) + ",\"" +
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
                     PlanFormat format, bool romAddresses, const std::string& prefix) {
    if (format == PlanFormat::Json) {
        return JsonPlan(placed, moved, romAddresses, prefix);
    }
    std::string text = format == PlanFormat::C ? "/* Placed by gapwell alloc. */\n" : "";
    for (const Placement& place : placed) {
        const std::string name = prefix + place.name;
        const std::string hex = AddressHex(place.offset, romAddresses);
        const std::string size = std::to_string(place.size);
        switch (format) {
            case PlanFormat::Text:
                text += name + ' ' + hex + ' ' + size + '\n';
                break;
            case PlanFormat::Armips:
                text += ".definelabel " + name + ",0x" + hex + "\n.definelabel " + name +
                        kSizeSuffix + ',' + size + '\n';
                break;
            case PlanFormat::Ea:
                text += "#define " + name + " 0x" + hex + "\n#define " + name + kSizeSuffix + ' ' +
                        size + '\n';
                break;
            case PlanFormat::C:
                text += "#define " + name + " 0x" + hex + "u\n#define " + name + kSizeSuffix + ' ' +
                        size + "u\n";
                break;
            case PlanFormat::Make:
                text += name + " := 0x" + hex + '\n';
                break;
            case PlanFormat::Ld:
                text += name + " = 0x" + hex + ";\n";
                break;
            case PlanFormat::Json:
                break;
        }
    }
    return text;
}

}  // namespace gapwell::cli
