#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gapwell {

// The fields of a "|"-separated record of one line (Bug.log, the installer's journal) are
// written escaped, so that every record splits into exactly its fields: "%" becomes "%25", "|"
// "%7C", CR "%0D" and LF "%0A" (the percent escapes of URLs, which any URL decoder undoes). A
// field without these four characters is written unchanged.
std::string EscapeRecordField(std::string_view field);

// The field that EscapeRecordField made `escaped` from; nullopt when `escaped` holds a "%" that
// does not start one of the four escapes.
std::optional<std::string> UnescapeRecordField(std::string_view escaped);

}  // namespace gapwell
