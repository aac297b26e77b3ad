#pragma once

#include <string>

#include "platform/Platform.h"

namespace gapwell {

// The language id of the string table to use: the first entry of LANGUAGE that names one of
// the program's languages; otherwise the first of LC_ALL, LC_MESSAGES and LANG that is set to
// something other than "C" or "POSIX" decides. English (1033) when nothing decides or the
// deciding locale has no table.
int LanguageIdForLocale(const LocaleSettings& settings);

// The language code of one of the program's language ids ("de" for 1031); "en" for any other id.
std::string LanguageCodeOf(int languageId);

// The language id for the user's locale, as the platform reports it.
int UserLanguageId();

// The decimal separator of one of the program's language ids ("," for 1031); "." for any other
// id.
char DecimalSeparatorOf(int languageId);

// The decimal separator of the user's interface language, as "#0.00" uses it.
char UserDecimalSeparator();

}  // namespace gapwell
