#include <QApplication>
#include <QTranslator>
#include <cstdlib>

#include "app/modMain.h"
#include "platform/QtPlatform.h"
#include "services/Language.h"
#include "ui/LoadedForms.h"
#include "ui/ProgramFonts.h"
#include "ui/ToolkitTranslations.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    gapwell::QtPlatform platform(gapwell::CloseMainWindow);
    gapwell::SetCurrentPlatform(&platform);
    gapwell::LoadProgramFonts();
    // Qt's own texts (message-box buttons, the Open dialog) in the language of the string tables.
    QTranslator toolkitTexts;
    gapwell::InstallToolkitTranslations(toolkitTexts, gapwell::UserLanguageId());
    gapwell::Main();
    // The program lives as long as its windows; when Main could not load one there is nothing
    // to wait for.
    if (gapwell::LoadedForms::All().empty()) {
        return EXIT_FAILURE;
    }
    return application.exec();
}
