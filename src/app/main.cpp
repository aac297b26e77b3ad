#include <QApplication>
#include <cstdlib>

#include "app/modMain.h"
#include "platform/QtPlatform.h"
#include "ui/LoadedForms.h"
#include "ui/ProgramFonts.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    gapwell::QtPlatform platform(gapwell::CloseMainWindow);
    gapwell::SetCurrentPlatform(&platform);
    gapwell::LoadProgramFonts();
    gapwell::Main();
    // The program lives as long as its windows; when Main could not load one there is nothing
    // to wait for.
    if (gapwell::LoadedForms::All().empty()) {
        return EXIT_FAILURE;
    }
    return application.exec();
}
