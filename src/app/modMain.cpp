#include "app/modMain.h"

#include "app/frmMain.h"
#include "platform/Platform.h"
#include "services/ErrorScope.h"
#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "ui/LoadedForms.h"
#include "update/install/InterruptedUpdate.h"

namespace gapwell {

void Main() {
    ErrorScope scope("Main", "modMain");
    // A portable copy first completes an update that a crash or a power cut interrupted, so
    // that it runs on one release's files, never on a mix of two.
    scope.Step([] {
        if (CurrentPlatform().Locations().selfUpdating) {
            CompleteInterruptedUpdates(CurrentPlatform().ProgramFolder(),
                                       LoadString(kStrUpdatesFolder));
        }
    });
    frmMain* form = nullptr;
    scope.Step([&] { form = new frmMain(nullptr, /*releasedOnUnload=*/true); });
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
