#pragma once

#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gapwell {

// One language's string table as carried in the program: the bytes of its UTF-8 text file, the
// two-letter code that locale names use for the language ("de" for 1031) and its decimal
// separator.
struct EmbeddedStringTable {
    int languageId;
    const char* languageCode;
    char decimalSeparator;
    const unsigned char* data;
    std::size_t size;
};

// All tables the program carries, in the order of resources/strings/languages.list (generated at
// build time).
std::span<const EmbeddedStringTable> EmbeddedStringTables();

// The language whose table is complete; it serves every language without a table of its own.
inline constexpr int kFallbackLanguageId = 1033;

// String id -> text. An id with an empty text is present but counts as missing for lookups.
using StringTable = std::map<int, std::string>;

// Reads a table's text: lines that are empty or start with "#" are skipped; every other line is
// a string id (decimal digits), a tab and the text up to the end of the line. Throws
// std::invalid_argument on a malformed line or a duplicate id.
StringTable ParseStringTable(std::string_view text);

// The language ids that have a table, ascending.
std::vector<int> StringTableLanguages();

// The table of a language; the fallback language's table when the language has none.
const StringTable& StringTableFor(int languageId);

}  // namespace gapwell
