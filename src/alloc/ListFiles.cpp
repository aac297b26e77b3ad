#include "alloc/ListFiles.h"

#include <cerrno>
#include <functional>
#include <optional>

#include "base/RuntimeError.h"
#include "search/Numbers.h"

namespace gapwell {

namespace {

constexpr std::int64_t kLargestValue = kLargestOffset + 1;

// The value of `digits` in `base` (10 or 16); nothing when they are empty, hold another
// character or exceed kLargestValue.
std::optional<std::int64_t> DigitsValue(std::string_view digits, int base) {
    if (digits.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * base + digit;
        if (value > kLargestValue) {
            return std::nullopt;
        }
    }
    return value;
}

bool HasHexPrefix(std::string_view text) {
    return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

// Decimal, or hex after "0x".
std::optional<std::int64_t> SizeValue(std::string_view text) {
    return HasHexPrefix(text) ? DigitsValue(text.substr(2), 16) : DigitsValue(text, 10);
}

// Hex, with or without "0x".
std::optional<std::int64_t> HexValue(std::string_view text) {
    return DigitsValue(HasHexPrefix(text) ? text.substr(2) : text, 16);
}

// The field with each NUL written as \x00: the message travels as a C string, which a NUL would
// cut short. (The command line escapes the other control bytes.)
std::string WithoutNul(const std::string& field) {
    std::string shown;
    for (const char c : field) {
        shown += c == '\0' ? std::string("\\x00") : std::string(1, c);
    }
    return shown;
}

[[noreturn]] void BadField(const std::string& where, const std::string& what,
                           const std::string& field, const std::string& expected) {
    throw RuntimeError(EINVAL, where + ": bad " + what + " \"" + WithoutNul(field) +
                                   "\" (expected " + expected + ")");
}

const std::string kSizeForm = "decimal or 0x hex, 1 to 2147483647";
const std::string kAlignForm = "a power of two up to 1073741824";
const std::string kOffsetForm = "hex, 0 to 80000000";

Block BlockOf(const std::string& where, const std::string& name, const std::string& size,
              const std::string* align) {
    if (!IsBlockName(name)) {
        BadField(where, "name", name, "letters, digits and _, not starting with a digit");
    }
    const auto sizeValue = SizeValue(size);
    if (!sizeValue || *sizeValue < 1 || *sizeValue > kLargestOffset) {
        BadField(where, "size", size, kSizeForm);
    }
    Block block{name, *sizeValue, kDefaultBlockAlign};
    if (align != nullptr) {
        const auto alignValue = SizeValue(*align);
        if (!alignValue || *alignValue < 1 || (*alignValue & (*alignValue - 1)) != 0 ||
            *alignValue > (std::int64_t{1} << 30)) {
            BadField(where, "alignment", *align, kAlignForm);
        }
        block.align = *alignValue;
    }
    return block;
}

std::vector<std::string> Split(std::string_view text, const std::function<bool(char)>& isGap) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || isGap(text[i])) {
            if (i > from) {
                fields.emplace_back(text.substr(from, i - from));
            }
            from = i + 1;
        }
    }
    return fields;
}

// Calls `line` with each line's fields and its "SOURCE:LINE" name, comments and blank lines left
// out.
void ForEachLine(
    const std::string& text, const std::string& source,
    const std::function<void(const std::vector<std::string>&, const std::string&)>& line) {
    std::size_t number = 0;
    std::size_t from = 0;
    while (from < text.size()) {
        ++number;
        std::size_t end = text.find('\n', from);
        end = end == std::string::npos ? text.size() : end;
        std::string_view content(text.data() + from, end - from);
        content = content.substr(0, content.find('#'));
        const auto fields =
            Split(content, [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
        if (!fields.empty()) {
            line(fields, source + ":" + std::to_string(number));
        }
        from = end + 1;
    }
}

[[noreturn]] void BadLine(const std::string& where, const std::string& expected) {
    throw RuntimeError(EINVAL, where + ": expected " + expected);
}

}  // namespace

Block ParseBlockSpec(const std::string& spec) {
    const std::string where = "--block \"" + spec + "\"";
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t colon = spec.find(':');; colon = spec.find(':', from)) {
        parts.push_back(spec.substr(from, colon == std::string::npos ? colon : colon - from));
        if (colon == std::string::npos) {
            break;
        }
        from = colon + 1;
    }
    if (parts.size() < 2 || parts.size() > 3) {
        BadLine(where, "NAME:SIZE or NAME:SIZE:ALIGN");
    }
    return BlockOf(where, parts[0], parts[1], parts.size() == 3 ? &parts[2] : nullptr);
}

std::vector<BlockLine> ParseBlockList(const std::string& text, const std::string& source) {
    std::vector<BlockLine> blocks;
    ForEachLine(text, source,
                [&blocks](const std::vector<std::string>& fields, const std::string& where) {
                    if (fields.size() < 2 || fields.size() > 3) {
                        BadLine(where, "NAME SIZE [ALIGN] or NAME @FILE [ALIGN]");
                    }
                    const bool fromFile = fields[1][0] == '@';
                    if (fromFile && fields[1].size() == 1) {
                        BadLine(where, "a file name after @");
                    }
                    const std::string* align = fields.size() == 3 ? &fields[2] : nullptr;
                    BlockLine line{BlockOf(where, fields[0], fromFile ? "1" : fields[1], align),
                                   fromFile ? fields[1].substr(1) : ""};
                    if (fromFile) {
                        line.block.size = 0;
                    }
                    blocks.push_back(std::move(line));
                });
    return blocks;
}

std::vector<ByteRange> ParseReservedList(const std::string& text, const std::string& source) {
    std::vector<ByteRange> ranges;
    ForEachLine(text, source,
                [&ranges](const std::vector<std::string>& fields, const std::string& where) {
                    if (fields.size() != 2) {
                        BadLine(where, "START END or START +LENGTH (hex)");
                    }
                    const auto start = HexValue(fields[0]);
                    if (!start || *start > kLargestOffset) {
                        BadField(where, "start", fields[0], kOffsetForm);
                    }
                    const bool isLength = fields[1][0] == '+';
                    const auto second = HexValue(isLength ? fields[1].substr(1) : fields[1]);
                    const std::int64_t end = second ? (isLength ? *start + *second : *second) : 0;
                    if (!second || end <= *start || end > kLargestValue) {
                        BadField(where, isLength ? "length" : "end", fields[1],
                                 "hex, a range that is not empty and ends by 80000000");
                    }
                    ranges.push_back({*start, end});
                });
    return ranges;
}

std::vector<Placement> ParseLedger(const std::string& text, const std::string& source) {
    std::vector<Placement> places;
    ForEachLine(text, source,
                [&places](const std::vector<std::string>& fields, const std::string& where) {
                    if (fields.size() != 4) {
                        BadLine(where, "NAME OFFSET SIZE ALIGN");
                    }
                    const Block block = BlockOf(where, fields[0], fields[2], &fields[3]);
                    const auto offset = HexValue(fields[1]);
                    if (!offset || *offset + block.size > kLargestValue) {
                        BadField(where, "offset", fields[1],
                                 kOffsetForm + ", the block ending by 80000000");
                    }
                    places.push_back({block.name, *offset, block.size, block.align});
                });
    return places;
}

std::string LedgerText(const std::vector<Placement>& places) {
    std::string text = "# gapwell alloc ledger: NAME OFFSET(hex) SIZE ALIGN\n";
    for (const Placement& place : places) {
        text += place.name + ' ' + ToHex(static_cast<std::uint64_t>(place.offset)) + ' ' +
                std::to_string(place.size) + ' ' + std::to_string(place.align) + '\n';
    }
    return text;
}

}  // namespace gapwell
