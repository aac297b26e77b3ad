#include "updatewindow/frmUpdate.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>

#include "base/Version.h"
#include "platform/Platform.h"
#include "services/ErrorScope.h"
#include "services/Language.h"
#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "ui/Localize.h"
#include "ui/SingleWindow.h"
#include "update/WizardTexts.h"
#include "update/files/UniqueTag.h"
#include "update/files/UpdatePaths.h"
#include "update/records/VersionFile.h"
#include "updatewindow/LiveProgressLabel.h"

namespace gapwell {

namespace {

constexpr const char* kModuleName = "frmUpdate";
constexpr std::int32_t kArchivePathChars = 70;

}  // namespace

frmUpdate::frmUpdate(QWidget* owner, QTimer* showTimer)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      showTimer_(showTimer) {
    BuildControls();
    progressLine_ = std::make_unique<LiveProgressLabel>(lblProgressUpdate);
    // Not deleted on close: a transfer still running holds the wizard on its call stack.
    OwnSingleWindow(this, {.moduleName = kModuleName, .deleteOnClose = false});
    connect(cmdNext, &QPushButton::clicked, this, &frmUpdate::cmdNext_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmUpdate::cmdCancel_Click);
    Updater.DownloadProgress = [this](const std::string& fileName, std::int32_t currentBytes,
                                      std::int32_t totalBytes) {
        Updater_DownloadProgress(fileName, currentBytes, totalBytes);
    };
    Updater.DownloadWaiting = [this] { Updater_DownloadWaiting(); };
    Form_Load();
}

frmUpdate::~frmUpdate() = default;

void frmUpdate::Form_Load() {
    ErrorScope scope("Form_Load", kModuleName);
    scope.Step([&] { Localize(this); });
    scope.Step([&] { decimalSeparator_ = UserDecimalSeparator(); });
    scope.Step([&] { CurrentVersion = version::kVersionText; });
    scope.Step([&] { TempFile = GetTempPath() + "_upd" + GetUniqueTag() + ".tmp"; });
    scope.Step([&] { VersionUrl = VersionFileUrl(); });
    scope.Step([&] {
        UpdatesFolder = AddBackslash(CurrentPlatform().ProgramFolder()) + kUpdatesFolderName + "/";
    });
}

void frmUpdate::closeEvent(QCloseEvent* event) {
    if (Form_QueryUnload()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
    Form_Unload();
    // A transfer still running holds this window on its call stack: Download destroys the
    // window once the transfer has returned.
    if (!transferRunning_) {
        deleteLater();
    }
}

bool frmUpdate::Form_QueryUnload() const {
    return Downloaded && !Installing;
}

void frmUpdate::Form_Unload() {
    unloaded_ = true;
    ErrorScope scope("Form_Unload", kModuleName);
    scope.Step([&] {
        // Stop a running transfer at its next piece and keep its events away from this window.
        Updater.Cancel();
        Updater.DetachHandlers();
    });
}

void frmUpdate::NextStep() {
    cmdNext_Click();
}

void frmUpdate::cmdNext_Click() {
    ErrorScope scope("cmdNext_Click", kModuleName);
    scope.Step([&] {
        if (!IsUnattended) {
            cmdCancel->setFocus();
        }
    });
    scope.Step([&] { cmdNext->setEnabled(false); });
    scope.Step([&] { ++Step; });
    scope.Step([&] {
        for (int index = 0; index < int(fraFrame.size()); ++index) {
            fraFrame[index]->setVisible(index == Step);
        }
    });
    if (Step == 1) {
        scope.Step([&] { RunTransfers([&] { CheckForUpdate(); }); });
        if (unloaded_ || !IsUnattended) {
            return;
        }
        scope.Step([&] {
            if (UpdateAvailable) {
                if (showTimer_ != nullptr) {
                    showTimer_->start();
                }
            } else {
                close();
            }
        });
    } else if (Step == 2) {
        scope.Step([&] {
            lblArchivePath->setText(
                QString::fromStdString(CompactPath(liveUpdate_->ArchivePath(), kArchivePathChars)));
            lblArchivePath->adjustSize();
        });
        scope.Step([&] { RunTransfers([&] { FetchArchive(); }); });
    }
}

void frmUpdate::RunTransfers(const std::function<void()>& transfers) {
    transferRunning_ = true;
    try {
        transfers();
    } catch (...) {
        transferRunning_ = false;
        throw;
    }
    transferRunning_ = false;
    if (unloaded_) {
        deleteLater();
    }
}

void frmUpdate::cmdCancel_Click() {
    ErrorScope scope("cmdCancel_Click", kModuleName);
    if (Step > 1) {
        scope.Step([&] {
            cmdCancel->setEnabled(false);
            cmdCancel->repaint();
            CurrentPlatform().DoEvents();
        });
    }
    if (unloaded_) {
        return;  // the pending messages closed the window meanwhile
    }
    if (Downloaded) {
        scope.Step([&] { Finish(); });
    } else {
        scope.Step([&] { close(); });
    }
}

void frmUpdate::Finish() {
    Installing = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool started = liveUpdate_->Install();
    QApplication::restoreOverrideCursor();
    if (!started) {
        // The installer has reported why. The program folder is unchanged and the program goes
        // on: Finish may be tried again, and as the installation has begun the window may close.
        cmdCancel->setEnabled(true);
        return;
    }
    CurrentPlatform().UnloadMainWindow();
    CurrentPlatform().EndProgram(EXIT_SUCCESS);
}

std::string frmUpdate::GetTempPath() {
    std::string path;
    ErrorScope scope("GetTempPath", kModuleName);
    scope.Step([&] { path = gapwell::GetTempPath(); });
    return path;
}

std::string frmUpdate::CompactPath(const std::string& path, std::int32_t maxChars) {
    std::string compact = path;
    ErrorScope scope("CompactPath", kModuleName);
    scope.Step([&] { compact = gapwell::CompactPath(path, maxChars); });
    return compact;
}

}  // namespace gapwell
