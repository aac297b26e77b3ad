#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gapwell {

// The formats of the files a build leaves that say where its data lies.
enum class BuildFormat : std::uint8_t {
    SymbolFile,  // no$gba symbols (armips -sym/-sym2, Event Assembler --nocash-sym): ADDR NAME
    SymbolList,  // nm-like lists (a decompilation's `make syms`): ADDR SCOPE SIZE NAME
    LinkerMap,   // GNU ld -Map: output and input sections
    Elf,         // a 32-bit little-endian ELF executable: allocated sections and sized symbols
};

// What an entry of a build file names.
enum class EntryKind : std::uint8_t { Section, InputSection, Symbol, Label, Data };
inline constexpr std::size_t kEntryKinds = 5;

// The size of an entry that names a place without saying how long its data is.
inline constexpr std::int64_t kUnknownSize = -1;

// One entry of a build file that lies in the ROM's address space: `size` bytes from the ROM
// offset `offset`, or, for kUnknownSize, the bytes from `offset` to the end of the run of filler
// bytes it starts in (something starts there, and its length is unknown).
struct KnownMark {
    std::int64_t offset = 0;
    std::int64_t size = kUnknownSize;
    std::string name;

    bool operator==(const KnownMark&) const = default;
};

struct BuildFile {
    BuildFormat format = BuildFormat::SymbolFile;
    // The entries that lie in the ROM's address space, in the order of the file.
    std::vector<KnownMark> marks;
    // Every entry read, by kind (EntryKind as index), inside the ROM's address space or not.
    std::array<std::int64_t, kEntryKinds> entries{};
    // The entries read whose address lies outside it (RAM, I/O, a non-allocated section).
    std::int64_t outsideRom = 0;
};

// The largest build file read (an ELF with debugging information can be large).
inline constexpr std::int64_t kBuildFileLimit = std::int64_t{128} * 1024 * 1024;

// The ROM offset of a GBA address: the ROM at 0x08000000 and its mirrors at 0x0A000000 and
// 0x0C000000 (32 MiB each) fold to offsets; with `offsetsToo`, a value below 0x02000000 is an
// offset already. -1 for any other address.
std::int64_t RomOffsetOf(std::uint64_t address, bool offsetsToo);

// Reads the build file at `path`, whose format is told by its content. A file that is no such
// file, or holds a malformed entry, throws RuntimeError (EINVAL) with one line naming the file
// and, for a text file, the line: "syms.txt:12: ...". At most kBuildFileLimit bytes are read;
// folders, FIFOs and devices are refused.
BuildFile ReadBuildFile(const std::string& path);

// The same for the bytes of a file already read; `name` names it in messages.
BuildFile ParseBuildFile(std::string_view bytes, const std::string& name);

// "ELF file", "GNU ld map", ...; "section", "input section", ...; "3 sections", "1 label", ...
std::string_view FormatName(BuildFormat format);
std::string_view KindName(EntryKind kind);
std::string KindCount(EntryKind kind, std::int64_t count);

}  // namespace gapwell
