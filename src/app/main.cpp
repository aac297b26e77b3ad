#include <QApplication>
#include <QTranslator>
#include <cstdlib>
#include <iostream>
#include <string_view>

#include "app/modMain.h"
#include "base/Version.h"
#include "platform/QtPlatform.h"
#include "services/Language.h"
#include "ui/LoadedForms.h"
#include "ui/ProgramFonts.h"
#include "ui/ToolkitTranslations.h"

int main(int argc, char* argv[]) {
    // --version and --help are answered without a window; any other argument is the ROM the
    // main window opens (a ROM named like an option is given as ./--version).
    const std::string_view option = argc == 2 ? argv[1] : "";
    if (option == "--version") {
        std::cout << gapwell::version::kProductName << ' ' << gapwell::version::kVersionText
                  << '\n';
        return EXIT_SUCCESS;
    }
    if (option == "--help") {
        std::cout << "Usage: " << gapwell::version::kAppTitle << " [ROM]\n"
                  << "Finds free space in Game Boy Advance ROM images; opens ROM when given.\n"
                  << "  --help     show this text\n  --version  show the version\n";
        return EXIT_SUCCESS;
    }
    QApplication application(argc, argv);
    // Lets the desktop match the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(gapwell::version::kAppId));
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
