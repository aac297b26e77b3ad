#include "alloc/NewRom.h"

#include <algorithm>
#include <cerrno>

#include "alloc/ListFileReader.h"
#include "base/RuntimeError.h"
#include "search/Numbers.h"
#include "search/RomFacts.h"

namespace gapwell {

namespace {

std::string Hex(std::int64_t value) {
    return ToHex(static_cast<std::uint64_t>(value));
}

// The earlier place of the block `name` (empty when it has none).
ByteRange OwnPlace(const std::vector<Placement>& owned, const std::string& name) {
    const auto own = std::find_if(owned.begin(), owned.end(),
                                  [&name](const Placement& place) { return place.name == name; });
    return own == owned.end() ? ByteRange{} : ByteRange{own->offset, own->End()};
}

}  // namespace

std::string ReadWholeRom(const std::string& path) {
    return ReadListFile(path, kLargestRom);
}

std::string InsertBlocks(std::string& rom, const std::vector<Placement>& placed,
                         const std::map<std::string, std::string>& contents, std::uint8_t filler,
                         const std::vector<Placement>& owned) {
    for (const Placement& place : placed) {
        const auto content = contents.find(place.name);
        if (content == contents.end()) {
            continue;
        }
        if (place.End() > static_cast<std::int64_t>(rom.size())) {
            return "collides: block " + place.name + " at " + Hex(place.offset) +
                   " ends past the ROM's end (" + Hex(static_cast<std::int64_t>(rom.size())) + ")";
        }
        const ByteRange own = OwnPlace(owned, place.name);
        for (std::int64_t at = place.offset; at < place.End(); ++at) {
            const auto byte = static_cast<std::uint8_t>(rom[static_cast<std::size_t>(at)]);
            if (byte != filler && (at < own.first || at >= own.end)) {
                return "collides: block " + place.name + " at " + Hex(place.offset) +
                       " would overwrite byte " + Hex(byte) + " at " + Hex(at) +
                       ", which is not the filler byte and not the block's own in the ledger";
            }
        }
        std::copy(content->second.begin(), content->second.end(),
                  rom.begin() + static_cast<std::ptrdiff_t>(place.offset));
    }
    return {};
}

void FixHeaderComplement(std::string& rom) {
    if (static_cast<std::int64_t>(rom.size()) <= kComplementOffset) {
        throw RuntimeError(EINVAL, "the ROM is too short for a header complement (" +
                                       std::to_string(rom.size()) + " bytes)");
    }
    rom[kComplementOffset] = static_cast<char>(
        HeaderComplement(reinterpret_cast<const std::uint8_t*>(rom.data() + kTitleOffset)));
}

}  // namespace gapwell
