// The decimal separators listed with the program's languages are the ones the toolkit's locale
// data gives those languages, so that the wizard's numbers read as the user's other programs
// write them.

#include <QLocale>
#include <QTest>

#include "services/Language.h"
#include "services/StringTables.h"

class TestDecimalSeparators : public QObject {
    Q_OBJECT

  private slots:
    void listAgreesWithTheToolkitLocales() {
        for (const int languageId : gapwell::StringTableLanguages()) {
            const QLocale locale(QString::fromStdString(gapwell::LanguageCodeOf(languageId)));
            QCOMPARE(QString(QLatin1Char(gapwell::DecimalSeparatorOf(languageId))),
                     locale.decimalPoint());
        }
    }
};

QTEST_APPLESS_MAIN(TestDecimalSeparators)
#include "tst_decimal_separators.moc"
