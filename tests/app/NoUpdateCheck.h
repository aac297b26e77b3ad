#pragma once

// Window tests that load the main window keep its automatic update check off, so that loading
// never goes to the network: the program folder gets an autoupdate.dat whose first byte is 0.

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <string>

#include "support/FakePlatform.h"

inline void SwitchOffAutomaticCheck(const std::string& programFolder) {
    QFile setting(QString::fromStdString(programFolder) + QStringLiteral("/autoupdate.dat"));
    if (!setting.open(QIODevice::WriteOnly) || setting.write("\0", 1) != 1) {
        qFatal("cannot write %s", qPrintable(setting.fileName()));
    }
}

// Installs `platform` as the current platform with `folder` as its program folder, the
// automatic check switched off there.
inline void UseQuietPlatform(gapwell::FakePlatform& platform, const QTemporaryDir& folder) {
    platform.programFolder = folder.path().toStdString();
    SwitchOffAutomaticCheck(platform.programFolder);
    gapwell::SetCurrentPlatform(&platform);
}
