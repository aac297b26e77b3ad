// The two symbol forms: no$gba symbol files and nm-like symbol lists.
#include <functional>
#include <string>

#include "search/BuildFileParsers.h"

namespace gapwell::build_files {

namespace {

bool IsComment(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string_view::npos || line[first] == ';';
}

// The data directives of no$gba symbol files: ".byt:0010" is 0x10 bytes of data.
bool IsDataDirective(std::string_view name) {
    return name.size() > 5 && name[4] == ':' &&
           (name.substr(0, 4) == ".byt" || name.substr(0, 4) == ".wrd" ||
            name.substr(0, 4) == ".dbl" || name.substr(0, 4) == ".asc");
}

// A size of 0 says as little as no size.
std::int64_t SizeOrUnknown(std::uint64_t size) {
    return size == 0 ? kUnknownSize : static_cast<std::int64_t>(size);
}

// A 32-bit value of 1 to 8 hex digits.
std::optional<std::uint64_t> Hex32(std::string_view text) {
    return text.size() <= 8 ? StrictHex(text, false) : std::nullopt;
}

// Calls `parse` with each line that holds more than blanks and is no comment, its number and
// its fields (at most `maxFields`).
void ForEachEntryLine(
    std::string_view text, std::size_t maxFields,
    const std::function<void(std::string_view line, std::size_t number,
                             const std::vector<std::string_view>& fields)>& parse) {
    TextLines lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        if (!IsComment(line)) {
            parse(line, lines.Number(), Fields(line, maxFields));
        }
    }
}

}  // namespace

void ParseSymbolFile(std::string_view text, const std::string& name, BuildFile& file) {
    ForEachEntryLine(
        text, 2,
        [&](std::string_view line, std::size_t number,
            const std::vector<std::string_view>& fields) {
            const std::optional<std::uint64_t> address = Hex32(fields[0]);
            if (fields.size() < 2 || !address) {
                Malformed(name, number,
                          "not a symbol line (ADDRESS NAME, the address in hex): " + Quoted(line));
            }
            std::string_view entry = fields[1];
            if (IsDataDirective(entry)) {
                const std::optional<std::uint64_t> size = Hex32(entry.substr(5));
                if (!size) {
                    Malformed(name, number, "bad length in " + Quoted(entry));
                }
                AddEntry(file, EntryKind::Data, *address, SizeOrUnknown(*size), entry, true);
                return;
            }
            // armips' second form: NAME,SIZE with the size in hex.
            std::int64_t size = kUnknownSize;
            const std::size_t comma = entry.rfind(',');
            if (comma != std::string_view::npos) {
                if (const std::optional<std::uint64_t> sized = Hex32(entry.substr(comma + 1))) {
                    size = SizeOrUnknown(*sized);
                    entry = entry.substr(0, comma);
                }
            }
            AddEntry(file, EntryKind::Label, *address, size, entry, true);
        });
}

void ParseSymbolList(std::string_view text, const std::string& name, BuildFile& file) {
    ForEachEntryLine(
        text, 4,
        [&](std::string_view line, std::size_t number,
            const std::vector<std::string_view>& fields) {
            const bool wellFormed =
                fields.size() == 4 && fields[1].size() == 1 && Hex32(fields[0]) && Hex32(fields[2]);
            if (!wellFormed) {
                Malformed(name, number,
                          "not a symbol line (ADDRESS SCOPE SIZE NAME, address and size in hex): " +
                              Quoted(line));
            }
            AddEntry(file, EntryKind::Symbol, *Hex32(fields[0]), SizeOrUnknown(*Hex32(fields[2])),
                     fields[3], true);
        });
}

}  // namespace gapwell::build_files
