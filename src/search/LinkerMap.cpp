// GNU ld map files (ld -Map): after "Linker script and memory map", an output section starts at
// the first column, an input section one blank in:
//   .rodata         0x080001c4      0x800
//    .rodata        0x080001c4      0x800 build/data.o
//   .data           0x03000000       0x10 load address 0x080009c4
// A name too long for its column stands alone, and its address and size follow on the next line.
// Lines of symbols and assignments (only an address and a name), patterns, and what comes before
// the memory map (discarded sections among it) mark nothing.
#include <algorithm>

#include "search/BuildFileParsers.h"

namespace gapwell::build_files {

namespace {

constexpr std::string_view kMemoryMap = "Linker script and memory map";
constexpr std::uint64_t kLargestSize = std::uint64_t{1} << 40;

// The address and size fields of a section line, with "0x" each; false when they are not both.
bool ReadAddressAndSize(const std::vector<std::string_view>& fields, std::size_t first,
                        std::uint64_t& address, std::uint64_t& size) {
    if (fields.size() < first + 2) {
        return false;
    }
    const std::optional<std::uint64_t> readAddress = StrictHex(fields[first], true);
    const std::optional<std::uint64_t> readSize = StrictHex(fields[first + 1], true);
    address = readAddress.value_or(0);
    size = readSize.value_or(0);
    return readAddress && readSize;
}

// The load address that follows "load address" on an output section's line.
std::optional<std::uint64_t> LoadAddress(const std::vector<std::string_view>& fields,
                                         std::size_t first) {
    const std::size_t at = first + 2;
    if (fields.size() >= at + 3 && fields[at] == "load" && fields[at + 1] == "address") {
        return StrictHex(fields[at + 2], true);
    }
    return std::nullopt;
}

}  // namespace

void ParseLinkerMap(std::string_view text, const std::string& name, BuildFile& file) {
    TextLines lines(text);
    bool inMap = false;
    // The section named alone on the line before, and whether it is an output section.
    std::string_view pending;
    bool pendingIsOutput = false;
    // The load address less the run-time address of the current output section (modulo 2^64):
    // its input sections lie that far from their addresses in the ROM.
    std::uint64_t loadShift = 0;
    std::string_view line;
    while (lines.Next(line)) {
        if (!inMap) {
            inMap = line.find(kMemoryMap) != std::string_view::npos;
            continue;
        }
        const std::vector<std::string_view> fields = Fields(line, 8);
        if (fields.empty()) {
            continue;
        }
        const bool output = line[0] != ' ' && line[0] != '\t';
        const bool input = line[0] == ' ' && line[1] != ' ';
        if ((output || input) && fields.size() == 1) {
            pending = fields[0];
            pendingIsOutput = output;
            continue;
        }
        std::string_view section = output || input ? fields[0] : pending;
        const bool isOutput = output || input ? output : pendingIsOutput;
        const std::size_t first = output || input ? 1 : 0;
        pending = {};
        if (section.empty() || fields.size() <= first || fields[first].substr(0, 2) != "0x") {
            continue;  // a pattern, a symbol, an assignment, a blank line
        }
        std::uint64_t address = 0;
        std::uint64_t size = 0;
        if (!ReadAddressAndSize(fields, first, address, size)) {
            if (fields.size() > first + 1 && fields[first + 1].substr(0, 2) != "0x") {
                continue;  // an address and a symbol's name
            }
            Malformed(name, lines.Number(), "bad address or size of section " + Quoted(section));
        }
        if (isOutput) {
            const std::optional<std::uint64_t> load = LoadAddress(fields, first);
            loadShift = load ? *load - address : 0;
        }
        if (size == 0 || section == "/DISCARD/") {
            continue;
        }
        // A size beyond any ROM marks it to its end.
        const auto bytes = static_cast<std::int64_t>(std::min<std::uint64_t>(size, kLargestSize));
        AddEntry(file, isOutput ? EntryKind::Section : EntryKind::InputSection, address + loadShift,
                 bytes, section, false);
    }
}

}  // namespace gapwell::build_files
