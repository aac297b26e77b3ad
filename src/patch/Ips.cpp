#include <algorithm>

#include "patch/PatchBytes.h"
#include "patch/PatchCodecs.h"
#include "patch/Patches.h"
#include "search/Numbers.h"

namespace gapwell::patch {

namespace {

// A record at this offset would begin with the bytes "EOF", which readers take for the end.
constexpr std::int64_t kEofOffset = 0x454F46;
constexpr std::int64_t kLongestRecord = 0xFFFF;

void AppendBigEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

}  // namespace

std::string MakeIps(std::string_view source, std::string_view target) {
    if (target.size() < source.size()) {
        RefusePatch("an IPS patch cannot make a ROM shorter than the source");
    }
    std::string out = "PATCH";
    for (const ByteRange& changed : ChangedRanges(source, target)) {
        if (changed.end > kIpsLimit) {
            RefusePatch("an IPS patch cannot reach a change at " +
                        ToHex(static_cast<std::uint64_t>(std::max(changed.first, kIpsLimit))) +
                        ", at or beyond 16 MiB (1000000); write a BPS or UPS patch");
        }
        for (std::int64_t first = changed.first; first < changed.end;) {
            // One byte earlier, the record starts on an unchanged byte instead.
            const std::int64_t start = first == kEofOffset ? first - 1 : first;
            const std::int64_t end = std::min(changed.end, start + kLongestRecord);
            AppendBigEndian(out, static_cast<std::uint64_t>(start), 3);
            AppendBigEndian(out, static_cast<std::uint64_t>(end - start), 2);
            out.append(target.substr(static_cast<std::size_t>(start),
                                     static_cast<std::size_t>(end - start)));
            first = end;
        }
    }
    return out + "EOF";
}

std::string ApplyIps(std::string_view patch, std::string_view source) {
    PatchReader reader(patch, patch.size());
    reader.Bytes(5);
    std::string target(source);
    while (true) {
        // Three and two bytes: small enough for any size_t.
        const auto offset = static_cast<std::size_t>(reader.BigEndian(3));
        if (offset == static_cast<std::size_t>(kEofOffset)) {
            break;
        }
        auto size = static_cast<std::size_t>(reader.BigEndian(2));
        std::string_view bytes;
        std::string run;
        if (size == 0) {  // a run: its length, then the byte repeated
            size = static_cast<std::size_t>(reader.BigEndian(2));
            run.assign(size, static_cast<char>(reader.Byte()));
            bytes = run;
        } else {
            bytes = reader.Bytes(size);
        }
        if (offset + size > target.size()) {
            target.resize(offset + size, '\0');
        }
        std::copy(bytes.begin(), bytes.end(), target.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    // A 3-byte size after "EOF" cuts the result to it.
    if (!reader.AtEnd()) {
        const auto size = static_cast<std::size_t>(reader.BigEndian(3));
        if (size > target.size()) {
            RefusePatch("the patch is damaged: its final size is past the ROM's end");
        }
        target.resize(size);
    }
    CheckTargetSize(target.size());
    return target;
}

}  // namespace gapwell::patch
