// The patch formats on any input: the first byte's worth of bytes is a source ROM, the rest a
// patch, its BPS or UPS frame given the right CRC-32s so that the body is read. Applying it
// either gives a ROM or is refused with RuntimeError; and a patch written from the source to the
// rest of the input gives that back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/RuntimeError.h"
#include "patch/Crc32.h"
#include "patch/Patches.h"

namespace {

void PutLittle32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>(value >> (8 * i));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t sourceSize = std::min<std::size_t>(data[0], size - 1);
    const std::string source(reinterpret_cast<const char*>(data) + 1, sourceSize);
    std::string patch(reinterpret_cast<const char*>(data) + 1 + sourceSize, size - 1 - sourceSize);
    if ((patch.starts_with("BPS1") || patch.starts_with("UPS1")) && patch.size() >= 16) {
        PutLittle32(patch, patch.size() - 12, gapwell::Crc32(source));
        PutLittle32(patch, patch.size() - 4,
                    gapwell::Crc32(std::string_view(patch).substr(0, patch.size() - 4)));
    }
    try {
        if (gapwell::ApplyPatch(patch, source).size() > gapwell::kLargestPatchedRom) {
            std::abort();
        }
    } catch (const gapwell::RuntimeError&) {
    }
    for (const auto format :
         {gapwell::PatchFormat::Bps, gapwell::PatchFormat::Ups, gapwell::PatchFormat::Ips}) {
        if (patch.size() >= source.size() &&
            gapwell::ApplyPatch(gapwell::MakePatch(format, source, patch), source) != patch) {
            std::abort();
        }
    }
    return 0;
}
