#include <QAction>
#include <QTimer>

#include "app/frmMain.h"
#include "platform/Platform.h"
#include "services/ErrorScope.h"
#include "update/records/AutomaticCheck.h"
#include "updatewindow/UpdateWizard.h"

namespace gapwell {

void frmMain::UpdateCheck() {
    ErrorScope scope("UpdateCheck", "frmMain");
    // An installed copy is updated by the package system: Live Update stays off there.
    if (!CurrentPlatform().Locations().selfUpdating) {
        mnuCheckNow->setEnabled(false);
        mnuAutomaticallyCheck->setEnabled(false);
        return;
    }
    scope.Step(
        [&] { mnuAutomaticallyCheck->setChecked(ReadAutomaticCheck(AutomaticCheckFile())); });
    scope.Step([&] {
        if (mnuAutomaticallyCheck->isChecked()) {
            RunUnattendedUpdateCheck(this, tmrShowUpdate);
        }
    });
}

void frmMain::mnuLiveUpdate_Click() {
    mnuCheckNow->setEnabled(CurrentPlatform().Locations().selfUpdating &&
                            CurrentPlatform().IsOnline() && !IsOpen(QStringLiteral("frmUpdate")));
}

void frmMain::mnuCheckNow_Click() {
    ShowUpdateWizard(this);
}

// The item is checkable, so the menu has already inverted its check mark.
void frmMain::mnuAutomaticallyCheck_Click() {
    ErrorScope scope("mnuAutomaticallyCheck_Click", "frmMain");
    scope.Step(
        [&] { WriteAutomaticCheck(AutomaticCheckFile(), mnuAutomaticallyCheck->isChecked()); });
}

void frmMain::tmrShowUpdate_Timer() {
    ErrorScope scope("tmrShowUpdate_Timer", "frmMain");
    scope.Step([&] { ShowUpdateWizard(this); });
    scope.Step([&] { tmrShowUpdate->stop(); });
}

}  // namespace gapwell
