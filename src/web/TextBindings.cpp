// The string tables of the eleven languages and the number readings of the option fields, for
// the page, through embind.
#include <emscripten/bind.h>

#include <cstdint>
#include <string>

#include "search/Numbers.h"
#include "services/StringTables.h"

namespace gapwell::web {

namespace {

using emscripten::val;

// The languages in the order of the tables: [{id, code, decimalSeparator}].
val Languages() {
    val list = val::array();
    for (const EmbeddedStringTable& table : EmbeddedStringTables()) {
        val language = val::object();
        language.set("id", table.languageId);
        language.set("code", std::string(table.languageCode));
        language.set("decimalSeparator", std::string(1, table.decimalSeparator));
        list.call<void>("push", language);
    }
    return list;
}

// One language's table as {id: text}; empty texts count as missing and are left out.
val Strings(int languageId) {
    val texts = val::object();
    for (const auto& [id, text] : StringTableFor(languageId)) {
        if (!text.empty()) {
            texts.set(id, text);
        }
    }
    return texts;
}

double ReadHex(const std::string& text) {
    return static_cast<double>(ReadHexLeading(text));
}

double ReadDecimal(const std::string& text) {
    return static_cast<double>(ReadDecimalLeading(text));
}

std::string Hex(double value) {
    return ToHex(static_cast<std::uint64_t>(value));
}

}  // namespace

EMSCRIPTEN_BINDINGS(gapwell_texts) {
    emscripten::function("languages", &Languages);
    emscripten::function("strings", &Strings);
    emscripten::function("readHexLeading", &ReadHex);
    emscripten::function("readDecimalLeading", &ReadDecimal);
    emscripten::function("toHex", &Hex);
}

}  // namespace gapwell::web
