#include "about/frmAbout.h"
#include "app/frmMain.h"

namespace gapwell {

void frmMain::mnuAbout_Click() {
    ShowAbout(this);
}

}  // namespace gapwell
