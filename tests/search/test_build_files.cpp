// Each build-file format read back from a small file the test writes, and hostile files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "base/RuntimeError.h"
#include "search/KnownData.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using test::TempFolder;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// The marks as "name@OFFSET+SIZE" (size ? when unknown), sorted.
std::vector<std::string> Listed(const BuildFile& file) {
    std::vector<std::string> listed;
    for (const KnownMark& mark : file.marks) {
        listed.push_back(mark.name + "@" + std::to_string(mark.offset) + "+" +
                         (mark.size == kUnknownSize ? "?" : std::to_string(mark.size)));
    }
    std::sort(listed.begin(), listed.end());
    return listed;
}

void Put(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value, int size = 4) {
    for (int i = 0; i < size; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// A GBA-like ELF: .text and .rodata in ROM, .data in RAM loaded from the ROM after them, .bss,
// a Thumb function, a table in .rodata, a variable in .data and a symbol without a size.
std::vector<std::uint8_t> SmallElf() {
    std::vector<std::uint8_t> elf(0x500, 0);
    const std::string header =
        "\x7F"
        "ELF\x01\x01\x01";
    std::copy(header.begin(), header.end(), elf.begin());
    Put(elf, 16, 2, 2);   // ET_EXEC
    Put(elf, 18, 40, 2);  // EM_ARM
    Put(elf, 28, 52);     // program headers
    Put(elf, 32, 0x300);  // section headers
    Put(elf, 42, 32, 2);
    Put(elf, 44, 2, 2);
    Put(elf, 46, 40, 2);
    Put(elf, 48, 8, 2);
    Put(elf, 50, 7, 2);  // .shstrtab
    const std::uint32_t segments[2][6] = {{1, 0x100, 0x08000000, 0x08000000, 0x100, 0x100},
                                          {1, 0x200, 0x03000000, 0x08000100, 0x10, 0x30}};
    for (std::size_t s = 0; s < 2; ++s) {
        for (std::size_t f = 0; f < 6; ++f) {
            Put(elf, 52 + 32 * s + 4 * f, segments[s][f]);
        }
    }
    const std::string names =
        std::string("\0.text\0.rodata\0.data\0.bss\0.symtab\0.strtab\0", 43) + ".shstrtab";
    std::copy(names.begin(), names.end(), elf.begin() + 0x220);
    const std::string symbolNames = std::string("\0main\0blank_tiles\0counter\0label", 32);
    std::copy(symbolNames.begin(), symbolNames.end(), elf.begin() + 0x260);
    // name, value, size, info, section
    const std::uint32_t symbols[4][5] = {{1, 0x08000001, 0x20, 0x12, 1},
                                         {6, 0x080000E0, 0x20, 0x11, 2},
                                         {18, 0x03000004, 4, 0x11, 3},
                                         {26, 0x08000050, 0, 0x10, 1}};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t at = 0x290 + 16 * i;  // entry 0 at 0x280 stays empty
        Put(elf, at, symbols[i][0]);
        Put(elf, at + 4, symbols[i][1]);
        Put(elf, at + 8, symbols[i][2]);
        Put(elf, at + 12, symbols[i][3], 1);
        Put(elf, at + 14, symbols[i][4], 2);
    }
    // name, type, flags, address, offset, size, link
    const std::uint32_t sections[8][7] = {{0, 0, 0, 0, 0, 0, 0},
                                          {1, 1, 6, 0x08000000, 0x100, 0xC0, 0},
                                          {7, 1, 2, 0x080000C0, 0x1C0, 0x40, 0},
                                          {15, 1, 3, 0x03000000, 0x200, 0x10, 0},
                                          {21, 8, 3, 0x03000010, 0x210, 0x20, 0},
                                          {26, 2, 0, 0, 0x280, 0x50, 6},
                                          {34, 3, 0, 0, 0x260, 32, 0},
                                          {42, 3, 0, 0, 0x220, 52, 0}};
    for (std::size_t i = 0; i < 8; ++i) {
        for (std::size_t f = 0; f < 7; ++f) {
            Put(elf, 0x300 + 40 * i + 4 * f, sections[i][f]);
        }
    }
    return elf;
}

BuildFile Read(const TempFolder& folder, const std::vector<std::uint8_t>& bytes) {
    return ReadBuildFile(folder.Write("build.file", bytes));
}

TEST(BuildFiles, ReadsEachFormatBack) {
    TempFolder folder;
    const BuildFile elf = Read(folder, SmallElf());
    EXPECT_EQ(elf.format, BuildFormat::Elf);
    EXPECT_EQ(Listed(elf),
              (std::vector<std::string>{".data@256+16", ".rodata@192+64", ".text@0+192",
                                        "blank_tiles@224+32", "counter@260+4", "main@0+32"}));

    const BuildFile map = Read(folder, Bytes(R"(Archive member included to satisfy reference

Discarded input sections

 .text          0x00000000       0x40 build/unused.o

Memory Configuration

Name             Origin             Length             Attributes
rom              0x08000000         0x02000000         xr

Linker script and memory map

LOAD build/main.o
                0x08000000                . = 0x8000000

.text           0x08000000       0xc0
 *(.text.start)
 .text.start    0x08000000       0x40 build/crt0.o
                0x08000000                _start
 .text.a_rather_long_name
                0x08000040       0x80 build/main.o
                0x08000040                main

.rodata         0x080000c0       0x40
 .rodata        0x080000c0       0x3c build/data.o
 *fill*         0x080000fc        0x4 

.data           0x03000000       0x10 load address 0x08000100
 .data          0x03000004        0xc build/main.o

.bss            0x03000010       0x20
 .bss           0x03000010       0x20 build/main.o

.debug_info     0x00000000      0x123
 .debug_info    0x00000000      0x123 build/main.o
OUTPUT(game.elf elf32-littlearm)
)"));
    EXPECT_EQ(map.format, BuildFormat::LinkerMap);
    EXPECT_EQ(Listed(map), (std::vector<std::string>{"*fill*@252+4", ".data@256+16", ".data@260+12",
                                                     ".rodata@192+60", ".rodata@192+64",
                                                     ".text.a_rather_long_name@64+128",
                                                     ".text.start@0+64", ".text@0+192"}));
    EXPECT_EQ(map.outsideRom, 4);

    const BuildFile symbols = Read(folder, Bytes("00000000 0\n08000000 .arm\n; a comment\n"
                                                 "08000100 .byt:0010\n08000200 tiles,00000040\n"
                                                 "02000000 ram_label\n00000400 at offset\n"));
    EXPECT_EQ(symbols.format, BuildFormat::SymbolFile);
    EXPECT_EQ(Listed(symbols), (std::vector<std::string>{".arm@0+?", ".byt:0010@256+16", "0@0+?",
                                                         "at offset@1024+?", "tiles@512+64"}));
    EXPECT_EQ(symbols.entries[static_cast<std::size_t>(EntryKind::Label)], 5);
    EXPECT_EQ(symbols.outsideRom, 1);

    const BuildFile list =
        Read(folder, Bytes("08000000 g 00000040 Start\n03000000 l 00000010 gRam\n"
                           "09000100 g 00000000 Label\n"));
    EXPECT_EQ(list.format, BuildFormat::SymbolList);
    EXPECT_EQ(Listed(list), (std::vector<std::string>{"Label@16777472+?", "Start@0+64"}));
}

// Every piece of a file read, from nothing to the whole: read or refused, never more.
TEST(BuildFiles, TruncatedElfFilesAreRefusedOrRead) {
    TempFolder folder;
    const std::vector<std::uint8_t> elf = SmallElf();
    for (std::size_t size = 0; size <= elf.size(); size += 7) {
        const std::vector<std::uint8_t> piece(elf.begin(), elf.begin() + size);
        try {
            Read(folder, piece);
        } catch (const RuntimeError& error) {
            EXPECT_LT(size, elf.size());
            EXPECT_EQ(std::string(error.what()).find('\n'), std::string::npos);
        }
    }
}

TEST(BuildFiles, HostileFiles) {
    std::mt19937 random(39);
    std::vector<std::uint8_t> binary(4096);
    std::generate(binary.begin(), binary.end(), [&] { return random() % 256; });
    std::vector<std::uint8_t> bigEndian = SmallElf();
    bigEndian[5] = 2;
    std::vector<std::uint8_t> badName = SmallElf();
    Put(badName, 0x290, 0x7000);  // main's name far beyond the string table
    std::vector<std::uint8_t> sectionsBeyond = SmallElf();
    Put(sectionsBeyond, 32, 0xFFFFFFF0);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        const char* refusal;        // part of the message; nullptr when the file is read
        std::int64_t coveredBytes;  // of a 0x1000-byte ROM of 0xFF, when read
    };
    const Case cases[] = {
        {"binary", binary, "build.file:1: not a symbol line", 0},
        {"big-endian ELF", bigEndian, "not a 32-bit little-endian ELF file", 0},
        {"name beyond its table", badName, "a name beyond its string table", 0},
        {"section headers beyond the end", sectionsBeyond, "truncated ELF file", 0},
        {"bad second line", Bytes("08000000 g 00000010 a\n08000010 zz\n"), "build.file:2:", 0},
        {"bad map size", Bytes("Linker script and memory map\n.text 0x08000000 0xZZ\n"),
         "build.file:2: bad address or size of section \".text\"", 0},
        {"bad data length", Bytes("08000000 .byt:zz\n"), "build.file:1: bad length", 0},
        {"CRLF", Bytes("08000000 a,00000010\r\n08000020 b\r\n"), nullptr, 0x10 + 0xFE0},
        {"beyond the ROM", Bytes("08100000 far,00000010\n08001000 end\n"), nullptr, 0},
        {"size that wraps", Bytes("08000FF0 wrap,FFFFFFFF\n0DFFFFFF top,FFFFFFFF\n"), nullptr,
         0x10},
        {"wrapping map", Bytes("Linker script and memory map\n.t 0x0dffffff 0xffffffffffffffff\n"),
         nullptr, 0},
        {"blank map lines", Bytes("Linker script and memory map\n \t\t\n\t\n"), nullptr, 0},
        {"empty", {}, nullptr, 0},
    };
    TempFolder folder;
    const std::string rom = folder.Write("rom.gba", std::vector<std::uint8_t>(0x1000, 0xFF));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.Write("build.file", c.bytes);
        if (c.refusal != nullptr) {
            try {
                ReadBuildFile(path);
                ADD_FAILURE() << "read";
            } catch (const RuntimeError& error) {
                EXPECT_NE(std::string(error.what()).find(c.refusal), std::string::npos)
                    << error.what();
            }
            continue;
        }
        EXPECT_EQ(KnownData::Resolve(rom, 0xFF, ReadBuildFile(path).marks).CoveredBytes(),
                  c.coveredBytes);
    }
    // Larger than any build file: refused before a byte is read (a sparse file).
    const std::string huge = folder.Write("huge.elf", {});
    std::filesystem::resize_file(huge, kBuildFileLimit + 1);
    try {
        ReadBuildFile(huge);
        ADD_FAILURE() << "read";
    } catch (const RuntimeError& error) {
        EXPECT_NE(std::string(error.what()).find("too large"), std::string::npos);
    }
}

}  // namespace
}  // namespace gapwell
