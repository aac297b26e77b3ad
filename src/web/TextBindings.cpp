// The string tables of the eleven languages and the number readings of the option fields, for
// the page, through embind.
#include <emscripten/bind.h>

#include <cstdint>
#include <string>

#include "base/Version.h"
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

// What the page's heading and footer name: {title, product, version, copyright}.
val About() {
    val about = val::object();
    about.set("title", std::string(version::kAppTitle));
    about.set("product", std::string(version::kProductName));
    about.set("version", std::string(version::kVersionText));
    about.set("copyright", std::string(version::kCopyright));
    return about;
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
    emscripten::function("about", &About);
    emscripten::function("readHexLeading", &ReadHex);
    emscripten::function("readDecimalLeading", &ReadDecimal);
    emscripten::function("toHex", &Hex);
}

}  // namespace gapwell::web
