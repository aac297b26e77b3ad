#include "ui/ProgramFonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QString>
#include <QWidget>

namespace gapwell {

void LoadProgramFonts() {
    const char* const files[] = {"/usr/share/wine/fonts/tahoma.ttf",
                                 "/usr/share/wine/fonts/tahomabd.ttf"};
    for (const char* file : files) {
        const QString path = QString::fromLatin1(file);
        if (QFile::exists(path)) {
            QFontDatabase::addApplicationFont(path);
        }
    }
}

bool HasScalableFace(const QFont& font) {
    const QString family = font.family();
    return QFontDatabase::hasFamily(family) && QFontDatabase::isSmoothlyScalable(family);
}

void UseScalableFaces(QWidget* window) {
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const QFont inherited = control->parentWidget()->font();
        if (!control->testAttribute(Qt::WA_SetFont) || HasScalableFace(control->font()) ||
            !HasScalableFace(inherited)) {
            continue;
        }
        QFont font = control->font();
        font.setFamily(inherited.family());
        control->setFont(font);
    }
}

}  // namespace gapwell
