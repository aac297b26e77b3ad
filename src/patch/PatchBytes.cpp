#include "patch/PatchBytes.h"

#include <cerrno>

#include "base/RuntimeError.h"

namespace gapwell::patch {

void AppendNumber(std::string& out, std::uint64_t value) {
    while (true) {
        const auto low = static_cast<char>(value & 0x7F);
        value >>= 7;
        if (value == 0) {
            out += static_cast<char>(low | 0x80);
            return;
        }
        out += low;
        --value;
    }
}

void AppendLittle32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

void RefusePatch(const std::string& why) {
    throw RuntimeError(EINVAL, why);
}

std::uint8_t PatchReader::Byte() {
    if (at_ >= end_) {
        RefusePatch("the patch is cut short or damaged (it ends inside a record)");
    }
    return static_cast<std::uint8_t>(patch_[at_++]);
}

std::string_view PatchReader::Bytes(std::uint64_t count) {
    if (count > end_ - at_) {
        RefusePatch("the patch is cut short or damaged (it ends inside a record)");
    }
    const std::string_view bytes = patch_.substr(at_, static_cast<std::size_t>(count));
    at_ += bytes.size();
    return bytes;
}

std::uint64_t PatchReader::Number() {
    std::uint64_t value = 0;
    std::uint64_t shift = 1;
    while (true) {
        const std::uint8_t byte = Byte();
        value += (byte & 0x7F) * shift;
        if ((byte & 0x80) != 0) {
            return value;
        }
        // Past 56 bits the number cannot be a size or offset of a ROM.
        if (shift > (std::uint64_t{1} << 49)) {
            RefusePatch("the patch holds a number too large to be an offset or size");
        }
        shift <<= 7;
        value += shift;
    }
}

std::uint64_t PatchReader::BigEndian(int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value = value << 8 | Byte();
    }
    return value;
}

std::uint32_t Little32At(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

}  // namespace gapwell::patch
