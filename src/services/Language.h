#pragma once

#include <string>

namespace gapwell {

// The locale settings that choose the interface language, as found in the environment
// (an unset variable is an empty text).
struct LocaleSettings {
    std::string language;  // LANGUAGE: a colon-separated list of preferences
    std::string lcAll;
    std::string lcMessages;
    std::string lang;
};

// The language id of the string table to use: the first entry of LANGUAGE that names one of
// the program's languages; otherwise the first of LC_ALL, LC_MESSAGES and LANG that is set to
// something other than "C" or "POSIX" decides. English (1033) when nothing decides or the
// deciding locale has no table.
int LanguageIdForLocale(const LocaleSettings& settings);

// LanguageIdForLocale over the process environment.
int LanguageIdFromEnvironment();

}  // namespace gapwell
