#include "services/StringTables.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace gapwell {

namespace {

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// The id of a table line: decimal digits only (no sign), within the 32-bit range.
int ParseId(std::string_view digits, std::string_view line) {
    int id = 0;
    const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDecimalDigit) ||
        parsed.ec != std::errc()) {
        throw std::invalid_argument("Not a string id: " + std::string(line));
    }
    return id;
}

// Parses every carried table once; the tables are read-only for the life of the process.
const std::map<int, StringTable>& ParsedTables() {
    static const std::map<int, StringTable> tables = [] {
        std::map<int, StringTable> parsed;
        for (const EmbeddedStringTable& table : EmbeddedStringTables()) {
            const std::string_view text(reinterpret_cast<const char*>(table.data), table.size);
            parsed.emplace(table.languageId, ParseStringTable(text));
        }
        return parsed;
    }();
    return tables;
}

}  // namespace

StringTable ParseStringTable(std::string_view text) {
    StringTable table;
    while (!text.empty()) {
        const std::size_t lineEnd = text.find('\n');
        const std::string_view line = text.substr(0, lineEnd);
        text = lineEnd == std::string_view::npos ? std::string_view() : text.substr(lineEnd + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) {
            throw std::invalid_argument("A string id must be followed by a tab: " +
                                        std::string(line));
        }
        const int id = ParseId(line.substr(0, tab), line);
        if (!table.emplace(id, std::string(line.substr(tab + 1))).second) {
            throw std::invalid_argument("Duplicate string id: " + std::to_string(id));
        }
    }
    return table;
}

std::vector<int> StringTableLanguages() {
    std::vector<int> languages;
    for (const auto& [languageId, table] : ParsedTables()) {
        languages.push_back(languageId);
    }
    return languages;
}

const StringTable& StringTableFor(int languageId) {
    const auto& tables = ParsedTables();
    const auto found = tables.find(languageId);
    return found != tables.end() ? found->second : tables.at(kFallbackLanguageId);
}

}  // namespace gapwell
