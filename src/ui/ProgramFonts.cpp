#include "ui/ProgramFonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QString>

namespace gapwell {

void LoadProgramFonts() {
    const char* const files[] = {"/usr/share/wine/fonts/tahoma.ttf",
                                 "/usr/share/wine/fonts/tahomabd.ttf",
                                 "/usr/share/wine/fonts/ms_sans_serif.ttf"};
    for (const char* file : files) {
        const QString path = QString::fromLatin1(file);
        if (QFile::exists(path)) {
            QFontDatabase::addApplicationFont(path);
        }
    }
}

}  // namespace gapwell
