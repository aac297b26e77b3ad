#pragma once

class QTranslator;

namespace gapwell {

// Loads Qt's own translations (the texts of its standard buttons and of the Open dialog) for one
// of the program's languages into `translator` and installs it for the application. Returns
// false, installing nothing, when Qt has no translations for that language: its texts then stay
// English. The translator must outlive its use.
bool InstallToolkitTranslations(QTranslator& translator, int languageId);

}  // namespace gapwell
