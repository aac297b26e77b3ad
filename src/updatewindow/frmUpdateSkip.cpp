// "Skip this version": offered beside Next and Cancel when the start-up check found the update.
// The choice is recorded beside autoupdate.dat; the start-up check then stays silent until a
// newer version is published, while "Check Now..." still offers the skipped one, marked.

#include <QLabel>
#include <QPushButton>

#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "ui/LayoutHelpers.h"
#include "update/records/SkippedVersion.h"
#include "updatewindow/frmUpdate.h"

namespace gapwell {

void frmUpdate::BuildSkipButton() {
    cmdSkip = AddButton(this, "cmdSkip", QStringLiteral("Skip this version"),
                        TwipsRect(120, 3240, 3120, 345));
    SetStringId(cmdSkip, kStrSkipThisVersion);
    cmdSkip->hide();
    connect(cmdSkip, &QPushButton::clicked, this, &frmUpdate::cmdSkip_Click);
}

bool frmUpdate::OfferIsSkipped(const VersionCheck& check) const {
    return check.updateAvailable &&
           IsSkippedVersion(ReadSkippedVersion(SkippedVersionFile()), check.offer.newestVersion);
}

void frmUpdate::ShowSkipChoice(bool skipped) {
    if (IsUnattended) {
        cmdSkip->show();
    } else if (skipped) {
        lblNewestVersion->setText(lblNewestVersion->text() + QLatin1Char(' ') +
                                  QString::fromStdString(LoadString(kStrSkipped)));
        lblNewestVersion->adjustSize();
    }
}

// The record is a convenience: when it cannot be written the wizard closes all the same.
void frmUpdate::cmdSkip_Click() {
    WriteSkippedVersion(SkippedVersionFile(), liveUpdate_->LastCheck().offer.newestVersion);
    close();
}

}  // namespace gapwell
