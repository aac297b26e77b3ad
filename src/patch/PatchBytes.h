#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The pieces that the patch formats share: their numbers, a reader that never reads past the
// patch, and the refusals.
namespace gapwell::patch {

// The variable-length number of BPS and UPS: seven bits a byte, lowest first, the top bit set on
// the last byte, and each byte that is not the last counting one more (so each number has one
// form).
void AppendNumber(std::string& out, std::uint64_t value);
void AppendLittle32(std::string& out, std::uint32_t value);

[[noreturn]] void RefusePatch(const std::string& why);

// Reads a patch front to back; reading past `end` (the patch's end, or where its checksums
// begin) is refused as a cut or damaged patch.
class PatchReader {
  public:
    PatchReader(std::string_view patch, std::size_t end) : patch_(patch), end_(end) {}

    bool AtEnd() const { return at_ >= end_; }
    std::size_t Offset() const { return at_; }
    std::uint8_t Byte();
    std::string_view Bytes(std::uint64_t count);
    std::uint64_t Number();
    std::uint64_t BigEndian(int bytes);

  private:
    std::string_view patch_;
    std::size_t end_;
    std::size_t at_ = 0;
};

std::uint32_t Little32At(std::string_view bytes, std::size_t at);

}  // namespace gapwell::patch
