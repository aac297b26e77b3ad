// What the wizard does with the events of its downloader: the version check while Step is 1,
// the archive download while Step is 2.

#include <unistd.h>

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <cerrno>

#include "services/ErrorScope.h"
#include "services/modErrorHandler.h"
#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "update/ProgressTexts.h"
#include "update/ReleaseCheck.h"
#include "update/UniqueTag.h"
#include "update/UpdatePaths.h"
#include "update/VersionCompare.h"
#include "update/VersionFile.h"
#include "update/VersionLine.h"
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

void frmUpdate::Updater_DownloadProgress(const std::string& /*FileName*/, std::int32_t CurrentBytes,
                                         std::int32_t TotalBytes) {
    if (Step != 2) {
        return;
    }
    ErrorScope scope("Updater_DownloadProgress", kModuleName);
    scope.Step([&] {
        progressLine_->Show(QString::fromStdString(
            DownloadProgressText(CurrentBytes, TotalBytes, decimalSeparator_)));
    });
}

void frmUpdate::Updater_DownloadComplete(const std::string& /*FileName*/, std::int32_t TotalBytes) {
    if (Step == 1) {
        VersionCheckComplete(TotalBytes);
    } else if (Step == 2) {
        ArchiveComplete(TotalBytes);
    }
}

void frmUpdate::VersionCheckComplete(std::int32_t TotalBytes) {
    ErrorScope scope("Updater_DownloadComplete", kModuleName);
    if (TotalBytes == 0) {
        scope.Step([&] {
            if (IsUnattended) {
                close();
            } else {
                lblProgress->setText(Text(kStrConnectionError));
            }
        });
        return;
    }
    std::string line;
    scope.Step([&] { line = TakeVersionFileLine(TempFile); });
    scope.Step([&] {
        const VersionOffer offer = ParseVersionLine(line);
        NewestVersion = offer.newestVersion;
        if (offer.usable) {
            ArchiveUrl = offer.archiveUrl;
            ArchivePath = UpdatesFolder + offer.archiveFileName;
            lblProgress->setText(QString::fromStdString(ConfigurationRetrievedText(TotalBytes)));
        } else {
            lblProgress->setText(Text(kStrConnectionError));
        }
    });
    scope.Step([&] { ShowVersions(IsNewerVersion(CurrentVersion, NewestVersion)); });
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
                              QString::fromStdString(NewestVersion));
    lblNewestVersion->adjustSize();
}

bool frmUpdate::ReleaseIsSigned() {
    if (releasePublicKey_.empty()) {
        return true;
    }
    const std::string signatureFile = GetTempPath() + "_sig" + GetUniqueTag() + ".tmp";
    const SignatureCheck check = CheckDownloadedRelease(ArchiveUrl, ArchivePath, NewestVersion,
                                                        releasePublicKey_, signatureFile);
    if (check == SignatureCheck::kValid) {
        return true;
    }
    ::unlink(ArchivePath.c_str());
    LogError("Updater_DownloadComplete", EBADMSG, kModuleName, SignatureCheckText(check), 0);
    return false;
}

void frmUpdate::ArchiveComplete(std::int32_t TotalBytes) {
    ErrorScope scope("Updater_DownloadComplete", kModuleName);
    bool signedRelease = false;
    if (TotalBytes != 0) {
        scope.Step([&] { signedRelease = ReleaseIsSigned(); });
    }
    if (signedRelease) {
        scope.Step([&] {
            cmdCancel->setText(Text(kStrFinish));
            cmdCancel->setFocus();
        });
        scope.Step([&] {
            lblProgressUpdate->setText(
                QString::fromStdString(DownloadCompleteText(TotalBytes, decimalSeparator_)));
        });
        scope.Step([&] { Downloaded = true; });
    } else {
        scope.Step([&] { lblProgressUpdate->setText(Text(kStrConnectionError)); });
    }
    scope.Step([&] { lblProgressUpdate->repaint(); });
}

}  // namespace gapwell
