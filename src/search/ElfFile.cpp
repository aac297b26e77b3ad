// A small reader for 32-bit little-endian ELF executables, bounds-checked at every read, rather
// than a system library: the same code runs in the Windows and browser builds, which have no
// libelf, and the little it needs (section, program and symbol headers) fits in one page.
#include <string>

#include "search/BuildFileParsers.h"

namespace gapwell::build_files {

namespace {

constexpr std::uint32_t kAllocFlag = 0x2;         // SHF_ALLOC
constexpr std::uint32_t kSymbolTable = 2;         // SHT_SYMTAB
constexpr std::uint32_t kNoBits = 8;              // SHT_NOBITS: takes no bytes of the file
constexpr std::uint32_t kLoadSegment = 1;         // PT_LOAD
constexpr std::uint32_t kFunction = 2;            // STT_FUNC: bit 0 of its value is the Thumb bit
constexpr std::uint16_t kReservedIndex = 0xFF00;  // SHN_LORESERVE: absolute, common...
constexpr std::size_t kSectionHeader = 40;
constexpr std::size_t kProgramHeader = 32;
constexpr std::size_t kSymbol = 16;

struct Section {
    std::uint32_t name = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    std::uint32_t address = 0;
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    std::uint32_t link = 0;
    // The address of the section's bytes in the ROM less its run-time address (modulo 2^32):
    // not 0 for initialised data that the start-up code copies to RAM.
    std::uint32_t loadShift = 0;
};

class ElfBytes {
  public:
    ElfBytes(std::string_view bytes, const std::string& name) : bytes_(bytes), name_(name) {}

    std::uint32_t U32(std::uint64_t at) const { return static_cast<std::uint32_t>(Read(at, 4)); }
    std::uint16_t U16(std::uint64_t at) const { return static_cast<std::uint16_t>(Read(at, 2)); }
    std::uint8_t U8(std::uint64_t at) const { return static_cast<std::uint8_t>(Read(at, 1)); }

    // Whether `count` entries of `entrySize` bytes from `at` lie in the file.
    void CheckTable(std::uint64_t at, std::uint64_t count, std::uint64_t entrySize,
                    const char* what) const {
        if (at > bytes_.size() || count * entrySize > bytes_.size() - at) {
            Malformed(name_, 0, std::string("truncated ELF file (") + what + " beyond its end)");
        }
    }

    // The NUL-ended name at `at` in the string table `table`.
    std::string_view Name(const Section& table, std::uint32_t at) const {
        CheckTable(table.offset, table.size, 1, "string table");
        const std::string_view strings = bytes_.substr(table.offset, table.size);
        if (at >= strings.size()) {
            Malformed(name_, 0, "bad ELF file (a name beyond its string table)");
        }
        const std::size_t end = strings.find('\0', at);
        if (end == std::string_view::npos) {
            Malformed(name_, 0, "bad ELF file (a name without its end)");
        }
        return strings.substr(at, end - at);
    }

  private:
    std::uint64_t Read(std::uint64_t at, std::size_t size) const {
        CheckTable(at, 1, size, "a header");
        std::uint64_t value = 0;
        for (std::size_t i = size; i-- > 0;) {
            // Inside the file, as checked, so the offset fits a size_t.
            value =
                value << 8 | static_cast<std::uint8_t>(bytes_[static_cast<std::size_t>(at + i)]);
        }
        return value;
    }

    std::string_view bytes_;
    const std::string& name_;
};

std::vector<Section> ReadSections(const ElfBytes& elf, const std::string& name) {
    const std::uint32_t at = elf.U32(32);
    const std::uint16_t count = elf.U16(48);
    if (count > 0 && elf.U16(46) != kSectionHeader) {
        Malformed(name, 0, "bad ELF file (section headers of an unknown size)");
    }
    elf.CheckTable(at, count, kSectionHeader, "section headers");
    std::vector<Section> sections(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint64_t header = at + std::uint64_t{i} * kSectionHeader;
        sections[i] = {
            elf.U32(header),      elf.U32(header + 4),  elf.U32(header + 8),  elf.U32(header + 12),
            elf.U32(header + 16), elf.U32(header + 20), elf.U32(header + 24), 0};
    }
    return sections;
}

// Gives each allocated section the load address of the segment that holds it.
void ApplySegments(const ElfBytes& elf, std::vector<Section>& sections) {
    const std::uint32_t at = elf.U32(28);
    const std::uint16_t count = elf.U16(44);
    elf.CheckTable(at, count, kProgramHeader, "program headers");
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint64_t header = at + std::uint64_t{i} * kProgramHeader;
        const std::uint32_t virtualAddress = elf.U32(header + 8);
        const std::uint32_t memorySize = elf.U32(header + 20);
        if (elf.U32(header) != kLoadSegment || elf.U32(header + 16) == 0) {
            continue;
        }
        for (Section& section : sections) {
            if ((section.flags & kAllocFlag) != 0 && section.address >= virtualAddress &&
                section.address - virtualAddress < memorySize) {
                section.loadShift = elf.U32(header + 12) - virtualAddress;
            }
        }
    }
}

void AddSymbols(const ElfBytes& elf, const std::vector<Section>& sections, const Section& table,
                const std::string& name, BuildFile& file) {
    if (table.link >= sections.size()) {
        Malformed(name, 0, "bad ELF file (a symbol table without its string table)");
    }
    elf.CheckTable(table.offset, table.size / kSymbol, kSymbol, "symbol table");
    // Entry 0 is the undefined symbol.
    for (std::uint64_t i = 1; i < table.size / kSymbol; ++i) {
        const std::uint64_t entry = table.offset + i * kSymbol;
        const std::uint32_t size = elf.U32(entry + 8);
        const std::uint16_t index = elf.U16(entry + 14);
        if (size == 0 || index == 0 || index >= kReservedIndex || index >= sections.size()) {
            continue;
        }
        std::uint32_t value = elf.U32(entry + 4);
        if ((elf.U8(entry + 12) & 0xF) == kFunction) {
            value &= ~std::uint32_t{1};
        }
        AddEntry(file, EntryKind::Symbol, std::uint32_t(value + sections[index].loadShift), size,
                 elf.Name(sections[table.link], elf.U32(entry)), false);
    }
}

}  // namespace

void ParseElf(std::string_view bytes, const std::string& name, BuildFile& file) {
    const ElfBytes elf(bytes, name);
    if (elf.U8(4) != 1 || elf.U8(5) != 1) {
        Malformed(name, 0, "not a 32-bit little-endian ELF file");
    }
    std::vector<Section> sections = ReadSections(elf, name);
    ApplySegments(elf, sections);
    const std::uint16_t namesIndex = elf.U16(50);
    for (const Section& section : sections) {
        if (section.type == kSymbolTable) {
            AddSymbols(elf, sections, section, name, file);
        }
        if ((section.flags & kAllocFlag) == 0 || section.type == kNoBits || section.size == 0) {
            continue;
        }
        if (namesIndex >= sections.size()) {
            Malformed(name, 0, "bad ELF file (no table of section names)");
        }
        AddEntry(file, EntryKind::Section, std::uint32_t(section.address + section.loadShift),
                 section.size, elf.Name(sections[namesIndex], section.name), false);
    }
}

}  // namespace gapwell::build_files
