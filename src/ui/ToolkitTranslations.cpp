#include "ui/ToolkitTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "services/Language.h"

namespace gapwell {

bool InstallToolkitTranslations(QTranslator& translator, int languageId) {
    const QLocale locale(QString::fromStdString(LanguageCodeOf(languageId)));
    return translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
           QCoreApplication::installTranslator(&translator);
}

}  // namespace gapwell
