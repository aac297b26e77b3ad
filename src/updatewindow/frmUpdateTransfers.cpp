// What the wizard shows of the Live Update sequence: the version check while Step is 1, the
// archive download while Step is 2.

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <utility>

#include "platform/Platform.h"
#include "services/ErrorScope.h"
#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "update/LiveUpdate.h"
#include "update/WizardTexts.h"
#include "update/files/UniqueTag.h"
#include "update/records/VersionFile.h"
#include "updatewindow/LiveProgressLabel.h"
#include "updatewindow/frmUpdate.h"

namespace gapwell {

namespace {

constexpr const char* kModuleName = "frmUpdate";
constexpr int kVersionGapPixels = 30;

QString Text(int id) {
    return QString::fromStdString(LoadString(id));
}

void SetBold(QLabel* label) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
}

}  // namespace

void frmUpdate::Updater_DownloadProgress(const std::string& fileName, std::int32_t currentBytes,
                                         std::int32_t totalBytes) {
    // Only the archive's own transfer is shown; its signature is a few bytes.
    if (Step != 2 || fileName != liveUpdate_->ArchivePath()) {
        return;
    }
    ErrorScope scope("Updater_DownloadProgress", kModuleName);
    scope.Step([&] {
        progressLine_->Show(QString::fromStdString(
            DownloadProgressText(currentBytes, totalBytes, decimalSeparator_)));
    });
}

// While a transfer waits for the network, a visible wizard keeps answering: Cancel ends it.
void frmUpdate::Updater_DownloadWaiting() {
    if (!IsUnattended) {
        CurrentPlatform().DoEvents();
    }
}

void frmUpdate::CheckForUpdate() {
    LiveUpdateSettings settings;
    settings.currentVersion = CurrentVersion;
    settings.versionUrl = VersionUrl;
    settings.rules = ArchiveRules{UpdateBaseUrl(), CurrentPlatform().ProgramFileName()};
    settings.versionTempFile = TempFile;
    settings.signatureTempFile = GetTempPath() + "_sig" + GetUniqueTag() + ".tmp";
    settings.updatesFolder = UpdatesFolder;
    settings.publicKey = releasePublicKey_;
    settings.startReport = {"cmdNext_Click", kModuleName};
    settings.completionReport = {"Updater_DownloadComplete", kModuleName};
    settings.installReport = {"DoUpdate", kModuleName};
    liveUpdate_ = std::make_unique<LiveUpdate>(Updater, std::move(settings));
    const VersionCheck check = liveUpdate_->CheckForUpdate(
        versionCheckBounds_.value_or(IsUnattended ? kVersionCheckBounds : kAttendedCheckBounds));
    if (!unloaded_) {
        Updater_DownloadComplete(check);
    }
}

void frmUpdate::Updater_DownloadComplete(const VersionCheck& check) {
    ErrorScope scope("Updater_DownloadComplete", kModuleName);
    if (check.totalBytes == 0) {
        scope.Step([&] {
            if (IsUnattended) {
                close();
            } else {
                lblProgress->setText(Text(kStrConnectionError));
            }
        });
        return;
    }
    scope.Step([&] {
        if (check.offer.usable) {
            lblProgress->setText(
                QString::fromStdString(ConfigurationRetrievedText(check.totalBytes)));
        } else {
            lblProgress->setText(Text(kStrConnectionError));
        }
    });
    const bool skipped = OfferIsSkipped(check);
    if (IsUnattended && skipped) {
        return;  // nothing is offered: the start-up check closes the wizard without a word
    }
    scope.Step([&] { ShowVersions(check.updateAvailable); });
    if (check.updateAvailable) {
        scope.Step([&] { ShowSkipChoice(skipped); });
    }
    if (check.updateAvailable && !check.releaseNotes.empty()) {
        scope.Step([&] { ShowReleaseNotes(check.releaseNotes); });
    }
}

void frmUpdate::ShowVersions(bool updateAvailable) {
    if (updateAvailable) {
        lblYes->show();
        SetBold(lblNewestVersion);
        cmdNext->setEnabled(true);
        if (!IsUnattended) {
            cmdNext->setFocus();
        }
        UpdateAvailable = true;
    } else {
        lblNo->show();
        SetBold(lblThisVersion);
        cmdNext->setEnabled(false);
        if (!IsUnattended) {
            cmdCancel->setFocus();
        }
    }
    lblThisVersion->setText(Text(kStrYourVersion) + QLatin1Char(' ') +
                            QString::fromStdString(CurrentVersion));
    lblThisVersion->adjustSize();
    lblNewestVersion->move(lblThisVersion->x() + lblThisVersion->width() + kVersionGapPixels,
                           lblThisVersion->y());
    lblNewestVersion->setText(Text(kStrNewestVersion) + QLatin1Char(' ') +
                              QString::fromStdString(liveUpdate_->LastCheck().offer.newestVersion));
    lblNewestVersion->adjustSize();
}

void frmUpdate::FetchArchive() {
    cmdSkip->hide();
    const FetchedArchive archive = liveUpdate_->FetchArchive();
    if (!unloaded_) {
        Updater_DownloadComplete(archive);
    }
}

void frmUpdate::Updater_DownloadComplete(const FetchedArchive& archive) {
    ErrorScope scope("Updater_DownloadComplete", kModuleName);
    if (archive.outcome == ArchiveFetch::Accepted) {
        scope.Step([&] {
            cmdCancel->setText(Text(kStrFinish));
            cmdCancel->setFocus();
        });
        scope.Step([&] {
            lblProgressUpdate->setText(QString::fromStdString(
                DownloadCompleteText(archive.totalBytes, decimalSeparator_)));
        });
        scope.Step([&] { Downloaded = true; });
    } else {
        scope.Step([&] { lblProgressUpdate->setText(Text(kStrConnectionError)); });
    }
    scope.Step([&] { lblProgressUpdate->repaint(); });
}

}  // namespace gapwell
