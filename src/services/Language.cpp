#include "services/Language.h"

#include <cctype>
#include <optional>
#include <string_view>

#include "services/StringTables.h"

namespace gapwell {

namespace {

// The language part of a locale name: "de" of "de_DE.UTF-8@euro".
std::string LanguagePart(std::string_view locale) {
    std::string language(locale.substr(0, locale.find_first_of("_.@-")));
    for (char& c : language) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return language;
}

// "C", "POSIX" (with any codeset) and an empty value ask for no particular language.
bool IsNeutralLocale(std::string_view locale) {
    const std::string language = LanguagePart(locale);
    return language.empty() || language == "c" || language == "posix";
}

std::optional<int> LanguageIdOf(std::string_view locale) {
    const std::string language = LanguagePart(locale);
    for (const EmbeddedStringTable& table : EmbeddedStringTables()) {
        if (table.languageCode == language) {
            return table.languageId;
        }
    }
    return std::nullopt;
}

}  // namespace

int LanguageIdForLocale(const LocaleSettings& settings) {
    std::string_view preferences = settings.language;
    while (!preferences.empty()) {
        const std::size_t colon = preferences.find(':');
        if (const auto id = LanguageIdOf(preferences.substr(0, colon))) {
            return *id;
        }
        preferences =
            colon == std::string_view::npos ? std::string_view() : preferences.substr(colon + 1);
    }
    for (const std::string* locale : {&settings.lcAll, &settings.lcMessages, &settings.lang}) {
        if (!IsNeutralLocale(*locale)) {
            return LanguageIdOf(*locale).value_or(kFallbackLanguageId);
        }
    }
    return kFallbackLanguageId;
}

std::string LanguageCodeOf(int languageId) {
    for (const EmbeddedStringTable& table : EmbeddedStringTables()) {
        if (table.languageId == languageId) {
            return table.languageCode;
        }
    }
    return "en";
}

int UserLanguageId() {
    return LanguageIdForLocale(CurrentPlatform().UserLocale());
}

char DecimalSeparatorOf(int languageId) {
    for (const EmbeddedStringTable& table : EmbeddedStringTables()) {
        if (table.languageId == languageId) {
            return table.decimalSeparator;
        }
    }
    return '.';
}

char UserDecimalSeparator() {
    return DecimalSeparatorOf(UserLanguageId());
}

}  // namespace gapwell
