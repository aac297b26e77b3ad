#pragma once

// Shared by the search-window tests: ROM files in a temporary folder and a loaded main window
// driven through its real controls, with the platform answered by the test double.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>

#include "app/frmMain.h"
#include "support/FakePlatform.h"
#include "support/LoadedWindows.h"

namespace searchwindow {

// Writes a ROM of `size` bytes of 0x11 with `runLength` bytes of `runByte` from `runOffset`, and
// `gameCode` at 0xAC; returns its full path.
inline QString WriteRom(const QTemporaryDir& dir, const QString& name, qint64 size,
                        qint64 runOffset = 0, qint64 runLength = 0, char runByte = '\xFF',
                        const QByteArray& gameCode = "TEST") {
    QByteArray bytes(size, '\x11');
    bytes.replace(runOffset, runLength, QByteArray(runLength, runByte));
    if (size >= 0xAC + gameCode.size()) {
        bytes.replace(0xAC, gameCode.size(), gameCode);
    }
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != size) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

// A file of `size` zero bytes that takes no disk space.
inline QString WriteSparseRom(const QTemporaryDir& dir, const QString& name, qint64 size) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(size)) {
        qFatal("cannot create %s", qPrintable(path));
    }
    return path;
}

inline QStringList Items(const QListWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) {
        texts << list->item(row)->text();
    }
    return texts;
}

// Loads a main window, shows it and makes it the active window, so that keys and focus work.
inline std::unique_ptr<gapwell::frmMain> ShowWindow() {
    auto window = std::make_unique<gapwell::frmMain>();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) {
        qFatal("the main window did not become active");
    }
    return window;
}

// Chooses `path` in the Open dialog of "Open ROM...".
inline void OpenRom(gapwell::frmMain& window, gapwell::FakePlatform& platform,
                    const QString& path) {
    platform.openFileAnswers.push_back(path.toStdString());
    window.mnuOpen->trigger();
}

// Replaces the text of a box the way a user does: select all, delete, type.
inline void Retype(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

using gapwell::test::UnloadAll;

// The main instruction of every message shown so far.
inline QStringList Messages(const gapwell::FakePlatform& platform) {
    QStringList texts;
    for (const gapwell::TaskDialogRequest& request : platform.taskDialogs) {
        texts << QString::fromStdString(request.mainInstruction);
    }
    return texts;
}

}  // namespace searchwindow
