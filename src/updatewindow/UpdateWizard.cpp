#include "updatewindow/UpdateWizard.h"

#include "ui/SingleWindow.h"
#include "updatewindow/frmUpdate.h"

namespace gapwell {

namespace {

frmUpdate& LoadWizard(QWidget* owner, QTimer* showTimer) {
    return LoadSingleWindow<frmUpdate>(
        [owner, showTimer] { return new frmUpdate(owner, showTimer); });
}

}  // namespace

void ShowUpdateWizard(QWidget* owner) {
    frmUpdate& wizard = LoadWizard(owner, nullptr);
    wizard.IsUnattended = false;
    ShowInFront(&wizard);
}

void RunUnattendedUpdateCheck(QWidget* owner, QTimer* showTimer) {
    frmUpdate& wizard = LoadWizard(owner, showTimer);
    wizard.IsUnattended = true;
    wizard.NextStep();
}

}  // namespace gapwell
