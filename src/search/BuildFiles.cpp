#include "search/BuildFiles.h"

#include <cerrno>

#include "base/RuntimeError.h"
#include "search/BuildFileParsers.h"
#include "search/Numbers.h"
#include "search/ReadOnlyFile.h"

namespace gapwell {

namespace {

constexpr std::uint64_t kRomSpace = 0x02000000;  // 32 MiB, the largest ROM and each mirror

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string ReadBounded(const std::string& path) {
    const ReadOnlyFile file(path);
    const auto tooLarge = [&path] {
        return RuntimeError(EFBIG, "File too large (more than " + std::to_string(kBuildFileLimit) +
                                       " bytes): " + path);
    };
    if (file.Length() > kBuildFileLimit) {
        throw tooLarge();
    }
    // One byte more than the length tells a file that grew meanwhile; a file that shrank simply
    // gives fewer bytes.
    const auto length = static_cast<std::size_t>(file.Length());
    std::string bytes(length + 1, '\0');
    std::size_t size = 0;
    while (size < bytes.size()) {
        const std::size_t got =
            file.ReadAt(static_cast<std::int64_t>(size),
                        reinterpret_cast<std::uint8_t*>(bytes.data() + size), bytes.size() - size);
        if (got == 0) {
            break;
        }
        size += got;
    }
    if (size > length) {
        throw RuntimeError(EAGAIN, "File changed while it was read: " + path);
    }
    bytes.resize(size);
    return bytes;
}

// The first line that holds more than blanks and is no comment.
std::string_view FirstEntryLine(std::string_view text) {
    build_files::TextLines lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        const std::size_t first = line.find_first_not_of(" \t");
        if (first != std::string_view::npos && line[first] != ';') {
            return line;
        }
    }
    return {};
}

// An nm-like line: address, a one-letter scope, size, name.
bool LooksLikeSymbolList(std::string_view line) {
    const std::vector<std::string_view> fields = build_files::Fields(line, 4);
    return fields.size() == 4 && fields[1].size() == 1 &&
           build_files::StrictHex(fields[0], false) && build_files::StrictHex(fields[2], false);
}

}  // namespace

std::int64_t RomOffsetOf(std::uint64_t address, bool offsetsToo) {
    if (offsetsToo && address < kRomSpace) {
        return static_cast<std::int64_t>(address);
    }
    if (address >= 0x08000000 && address < 0x0E000000) {
        return static_cast<std::int64_t>(address % kRomSpace);
    }
    return -1;
}

BuildFile ReadBuildFile(const std::string& path) {
    return ParseBuildFile(ReadBounded(path), path);
}

BuildFile ParseBuildFile(std::string_view bytes, const std::string& name) {
    BuildFile file;
    if (bytes.substr(0, 4) ==
        "\x7F"
        "ELF") {
        file.format = BuildFormat::Elf;
        build_files::ParseElf(bytes, name, file);
    } else if (bytes.find("Linker script and memory map") != std::string_view::npos) {
        file.format = BuildFormat::LinkerMap;
        build_files::ParseLinkerMap(bytes, name, file);
    } else if (LooksLikeSymbolList(FirstEntryLine(bytes))) {
        file.format = BuildFormat::SymbolList;
        build_files::ParseSymbolList(bytes, name, file);
    } else {
        file.format = BuildFormat::SymbolFile;
        build_files::ParseSymbolFile(bytes, name, file);
    }
    return file;
}

std::string_view FormatName(BuildFormat format) {
    switch (format) {
        case BuildFormat::SymbolFile:
            return "no$gba symbol file";
        case BuildFormat::SymbolList:
            return "symbol list";
        case BuildFormat::LinkerMap:
            return "GNU ld map";
        case BuildFormat::Elf:
            return "ELF file";
    }
    return {};
}

std::string_view KindName(EntryKind kind) {
    static constexpr std::string_view kNames[kEntryKinds] = {"section", "input section", "symbol",
                                                             "label", "data directive"};
    return kNames[static_cast<std::size_t>(kind)];
}

std::string KindCount(EntryKind kind, std::int64_t count) {
    return std::to_string(count) + " " + std::string(KindName(kind)) + (count == 1 ? "" : "s");
}

namespace build_files {

void AddEntry(BuildFile& file, EntryKind kind, std::uint64_t address, std::int64_t size,
              std::string_view entryName, bool offsetsToo) {
    ++file.entries[static_cast<std::size_t>(kind)];
    const std::int64_t offset = RomOffsetOf(address, offsetsToo);
    if (offset < 0) {
        ++file.outsideRom;
        return;
    }
    file.marks.push_back({offset, size, std::string(entryName)});
}

std::optional<std::uint64_t> StrictHex(std::string_view text, bool prefixed) {
    if (prefixed) {
        if (text.size() < 2 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
            return std::nullopt;
        }
        text.remove_prefix(2);
    }
    // Sixteen digits hold any 64-bit value; the lenient reader saturates beyond 2^63, where no
    // address or size of a GBA build lies anyway.
    if (text.empty() || text.size() > 16 ||
        text.find_first_not_of("0123456789ABCDEFabcdef") != std::string_view::npos) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(ReadHexLeading(text));
}

std::string Quoted(std::string_view line) {
    constexpr std::size_t kShown = 40;
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string quoted = "\"";
    for (const char c : line.substr(0, kShown)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            quoted += c;
        } else {
            quoted.append("\\x").append(1, kDigits[byte >> 4]).append(1, kDigits[byte & 0xF]);
        }
    }
    return quoted + (line.size() > kShown ? "...\"" : "\"");
}

void Malformed(const std::string& name, std::size_t line, const std::string& why) {
    throw RuntimeError(EINVAL, name + (line == 0 ? "" : ":" + std::to_string(line)) + ": " + why);
}

bool TextLines::Next(std::string_view& line) {
    if (rest_.empty()) {
        return false;
    }
    const std::size_t end = rest_.find('\n');
    line = rest_.substr(0, end);
    rest_ = end == std::string_view::npos ? std::string_view{} : rest_.substr(end + 1);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    ++number_;
    return true;
}

std::vector<std::string_view> Fields(std::string_view line, std::size_t maxFields) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (fields.size() < maxFields) {
        while (i < line.size() && IsBlank(line[i])) {
            ++i;
        }
        if (i == line.size()) {
            break;
        }
        std::size_t end = i;
        if (fields.size() + 1 == maxFields) {
            end = line.size();
            while (IsBlank(line[end - 1])) {
                --end;
            }
        } else {
            while (end < line.size() && !IsBlank(line[end])) {
                ++end;
            }
        }
        fields.push_back(line.substr(i, end - i));
        i = end;
    }
    return fields;
}

}  // namespace build_files

}  // namespace gapwell
