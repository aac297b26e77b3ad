#include "services/RecordFields.h"

#include <array>

namespace gapwell {

namespace {

struct Escape {
    char plain;
    std::string_view escaped;
};

constexpr std::array<Escape, 4> kEscapes{
    {{'%', "%25"}, {'|', "%7C"}, {'\r', "%0D"}, {'\n', "%0A"}}};

}  // namespace

std::string EscapeRecordField(std::string_view field) {
    std::string escaped;
    escaped.reserve(field.size());
    for (const char c : field) {
        bool replaced = false;
        for (const Escape& escape : kEscapes) {
            if (c == escape.plain) {
                escaped += escape.escaped;
                replaced = true;
            }
        }
        if (!replaced) {
            escaped += c;
        }
    }
    return escaped;
}

std::optional<std::string> UnescapeRecordField(std::string_view escaped) {
    std::string field;
    field.reserve(escaped.size());
    while (!escaped.empty()) {
        if (escaped[0] != '%') {
            field += escaped[0];
            escaped.remove_prefix(1);
            continue;
        }
        bool known = false;
        for (const Escape& escape : kEscapes) {
            if (escaped.starts_with(escape.escaped)) {
                field += escape.plain;
                escaped.remove_prefix(escape.escaped.size());
                known = true;
                break;
            }
        }
        if (!known) {
            return std::nullopt;
        }
    }
    return field;
}

}  // namespace gapwell
