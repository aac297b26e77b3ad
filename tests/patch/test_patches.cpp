// The patches written, applied by small readers of our own made from the formats' public
// descriptions: each must give the target byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>

#include "base/RuntimeError.h"
#include "patch/Patches.h"

namespace gapwell {
namespace {

// CRC-32 bit by bit (reflected 0xEDB88320, all bits set before and after).
std::uint32_t BitwiseCrc(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ ((crc & 1) != 0 ? 0xEDB88320 : 0);
        }
    }
    return ~crc;
}

struct Cursor {
    const std::string& bytes;
    std::size_t at = 0;

    std::uint8_t Next() { return static_cast<std::uint8_t>(bytes.at(at++)); }
    // Seven bits a byte, top bit on the last one, each earlier byte adding one more step.
    std::uint64_t Number() {
        std::uint64_t value = 0;
        for (std::uint64_t shift = 1;; shift <<= 7) {
            const std::uint8_t x = Next();
            value += (x & 0x7F) * shift;
            if ((x & 0x80) != 0) {
                return value;
            }
            value += shift << 7;
        }
    }
    std::uint32_t Little32() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value |= static_cast<std::uint32_t>(Next()) << (8 * i);
        }
        return value;
    }
};

void ExpectCrcs(const std::string& patch, const std::string& source, const std::string& target) {
    Cursor tail{patch, patch.size() - 12};
    EXPECT_EQ(tail.Little32(), BitwiseCrc(source));
    EXPECT_EQ(tail.Little32(), BitwiseCrc(target));
    EXPECT_EQ(tail.Little32(), BitwiseCrc(patch.substr(0, patch.size() - 4)));
}

std::string ReadBps(const std::string& patch, const std::string& source) {
    Cursor in{patch, 4};
    EXPECT_EQ(patch.substr(0, 4), "BPS1");
    EXPECT_EQ(in.Number(), source.size());
    const std::uint64_t targetSize = in.Number();
    in.at += in.Number();
    std::string target;
    std::int64_t sourceRelative = 0;
    std::int64_t targetRelative = 0;
    const auto relative = [&in] {
        const std::uint64_t data = in.Number();
        return ((data & 1) != 0 ? -1 : 1) * static_cast<std::int64_t>(data >> 1);
    };
    while (in.at < patch.size() - 12) {
        const std::uint64_t data = in.Number();
        std::uint64_t length = (data >> 2) + 1;
        switch (data & 3) {
            case 0:
                target += source.substr(target.size(), length);
                break;
            case 1:
                target += patch.substr(in.at, length);
                in.at += length;
                break;
            case 2:
                sourceRelative += relative();
                target += source.substr(static_cast<std::size_t>(sourceRelative), length);
                sourceRelative += static_cast<std::int64_t>(length);
                break;
            default:
                targetRelative += relative();
                while (length-- > 0) {
                    target += target.at(static_cast<std::size_t>(targetRelative++));
                }
        }
    }
    EXPECT_EQ(target.size(), targetSize);
    ExpectCrcs(patch, source, target);
    return target;
}

std::string ReadUps(const std::string& patch, const std::string& source) {
    Cursor in{patch, 4};
    EXPECT_EQ(patch.substr(0, 4), "UPS1");
    EXPECT_EQ(in.Number(), source.size());
    std::string target(in.Number(), '\0');
    // The source counts as zeros after its end.
    target.replace(0, std::min(source.size(), target.size()), source, 0, target.size());
    for (std::size_t at = 0; in.at < patch.size() - 12; ++at) {
        at += in.Number();
        for (std::uint8_t x = in.Next(); x != 0; x = in.Next()) {
            target.at(at++) ^= static_cast<char>(x);
        }
    }
    ExpectCrcs(patch, source, target);
    return target;
}

std::string ReadIps(const std::string& patch, const std::string& source) {
    EXPECT_EQ(patch.substr(0, 5), "PATCH");
    Cursor in{patch, 5};
    std::string target = source;
    while (patch.compare(in.at, 3, "EOF") != 0) {
        const std::size_t offset = in.Next() << 16 | in.Next() << 8 | in.Next();
        const std::size_t size = in.Next() << 8 | in.Next();
        EXPECT_GT(size, 0u);  // our writer never writes runs
        if (offset + size > target.size()) {
            target.resize(offset + size);
        }
        target.replace(offset, size, patch, in.at, size);
        in.at += size;
    }
    EXPECT_EQ(in.at + 3, patch.size());
    return target;
}

std::string RandomBytes(std::mt19937& random, std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t at = 0; at < size; at += 4) {
        const auto word = static_cast<std::uint32_t>(random());
        bytes.replace(at, 4, reinterpret_cast<const char*>(&word),
                      std::min<std::size_t>(4, size - at));
    }
    return bytes;
}

// The source with spans of changed bytes (some changed to what they were), grown by `growth`.
std::string Changed(std::mt19937& random, const std::string& source, std::size_t growth) {
    std::string target = source + RandomBytes(random, growth);
    for (int span = 0; span < 40; ++span) {
        const std::size_t first = random() % target.size();
        const std::size_t length =
            std::min<std::size_t>(1 + random() % 70000, target.size() - first);
        target.replace(first, length, RandomBytes(random, length));
    }
    return target;
}

TEST(Patches, OurReadersGiveTheTargetOfEveryFormat) {
    std::mt19937 random(5);
    const struct {
        std::size_t size;
        std::size_t growth;
    } roms[] = {{1, 0}, {4096, 100}, {(1 << 20) + 3, 0}, {(24 << 20) + 1, (8 << 20) - 1}};
    for (const auto& [size, growth] : roms) {
        const std::string source = RandomBytes(random, size);
        const std::string target = Changed(random, source, growth);
        const std::string bps = MakePatch(PatchFormat::Bps, source, target);
        EXPECT_EQ(ReadBps(bps, source), target) << size;
        EXPECT_EQ(ApplyPatch(bps, source), target) << size;
        const std::string ups = MakePatch(PatchFormat::Ups, source, target);
        EXPECT_EQ(ReadUps(ups, source), target) << size;
        EXPECT_EQ(ApplyPatch(ups, source), target) << size;
        if (target.size() <= kIpsLimit) {
            const std::string ips = MakePatch(PatchFormat::Ips, source, target);
            EXPECT_EQ(ReadIps(ips, source), target) << size;
            EXPECT_EQ(ApplyPatch(ips, source), target) << size;
        } else {
            EXPECT_THROW(MakePatch(PatchFormat::Ips, source, target), RuntimeError);
        }
    }
}

TEST(Patches, NoIpsRecordStartsAtTheOffsetThatReadsEof) {
    const std::string source(0x460000, '\x11');
    std::string target = source;
    target[0x454F46] = '\x22';
    const std::string ips = MakePatch(PatchFormat::Ips, source, target);
    EXPECT_EQ(ips.substr(5, 5), std::string("\x45\x4F\x45\x00\x02", 5));
    EXPECT_EQ(ReadIps(ips, source), target);
    // A change at 16 MiB is out of IPS's reach.
    std::string far(kIpsLimit + 1, '\0');
    EXPECT_THROW(MakePatch(PatchFormat::Ips, std::string(kIpsLimit, '\0'), far), RuntimeError);
}

TEST(Patches, APatchForAnotherRomIsRefusedWithBothCrcs) {
    const std::string source = "source bytes";
    const std::string bps = MakePatch(PatchFormat::Bps, source, "target bytes");
    char otherCrc[9];
    std::snprintf(otherCrc, sizeof otherCrc, "%08X", BitwiseCrc("other bytes!"));
    for (const std::string& patch : {bps, MakePatch(PatchFormat::Ups, source, "target")}) {
        try {
            ApplyPatch(patch, "other bytes!");
            ADD_FAILURE() << "applied";
        } catch (const RuntimeError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find("12 bytes with CRC32 " + std::string(otherCrc)),
                      std::string::npos)
                << message;
        }
    }
    std::string damaged = bps;
    damaged[6] ^= 1;
    EXPECT_THROW(ApplyPatch(damaged, source), RuntimeError);
    EXPECT_THROW(ApplyPatch(bps.substr(0, 10), source), RuntimeError);
    EXPECT_THROW(ApplyPatch("not a patch", source), RuntimeError);
}

}  // namespace
}  // namespace gapwell
