#include "app/modMain.h"

#include "app/frmMain.h"
#include "services/ErrorScope.h"
#include "ui/LoadedForms.h"

namespace gapwell {

void Main() {
    ErrorScope scope("Main", "modMain");
    frmMain* form = nullptr;
    scope.Step([&] {
        form = new frmMain;
        // The window is released when it unloads.
        form->setAttribute(Qt::WA_DeleteOnClose);
    });
    scope.Step([&] {
        if (form != nullptr) {
            form->show();
        }
    });
}

void CloseMainWindow() {
    if (frmMain* form = LoadedForms::Find<frmMain>()) {
        form->close();
    }
}

}  // namespace gapwell
