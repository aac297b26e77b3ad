// Time from creating the main window (which runs the automatic update check first, against
// GAPWELL_UPDATE_URL) until it is shown, on the offscreen platform.
// Usage: QT_QPA_PLATFORM=offscreen GAPWELL_UPDATE_URL=... bench_startup
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <memory>

#include "app/frmMain.h"
#include "platform/QtPlatform.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    gapwell::QtPlatform platform;
    gapwell::SetCurrentPlatform(&platform);
    const auto begin = std::chrono::steady_clock::now();
    const auto window = std::make_unique<gapwell::frmMain>();
    window->show();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - begin;
    std::printf("%.3f s to the main window\n", elapsed.count());
    gapwell::SetCurrentPlatform(nullptr);
    return 0;
}
