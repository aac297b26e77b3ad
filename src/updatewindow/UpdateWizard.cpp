#include "updatewindow/UpdateWizard.h"

#include "updatewindow/frmUpdate.h"

namespace gapwell {

QPointer<frmUpdate>& LoadedUpdateWizard() {
    static QPointer<frmUpdate> wizard;
    return wizard;
}

void ForgetUpdateWizard(const frmUpdate* wizard) {
    if (LoadedUpdateWizard() == wizard) {
        LoadedUpdateWizard() = nullptr;
    }
}

namespace {

frmUpdate& LoadWizard(QWidget* owner, QTimer* showTimer) {
    QPointer<frmUpdate>& wizard = LoadedUpdateWizard();
    if (wizard.isNull()) {
        wizard = new frmUpdate(owner, showTimer);
    }
    return *wizard;
}

}  // namespace

void ShowUpdateWizard(QWidget* owner) {
    frmUpdate& wizard = LoadWizard(owner, nullptr);
    wizard.IsUnattended = false;
    wizard.show();
    wizard.raise();
    wizard.activateWindow();
}

void RunUnattendedUpdateCheck(QWidget* owner, QTimer* showTimer) {
    frmUpdate& wizard = LoadWizard(owner, showTimer);
    wizard.IsUnattended = true;
    wizard.NextStep();
}

}  // namespace gapwell
