#include <QListWidget>

#include "app/frmMain.h"
#include "platform/Platform.h"
#include "services/ErrorScope.h"

namespace gapwell {

void frmMain::SafeClipboardSet(const std::string& text) {
    ErrorScope scope("SafeClipboardSet", "frmMain");
    // Pending messages run around the clearing, so that another program holding the clipboard
    // gets the chance to let go of it.
    scope.Step([] { CurrentPlatform().DoEvents(); });
    scope.Step([] { CurrentPlatform().ClearClipboard(); });
    scope.Step([] { CurrentPlatform().DoEvents(); });
    scope.Step([&] { CurrentPlatform().SetClipboardText(text); });
}

void frmMain::cmdCopy_Click() {
    // With no item selected (an empty list, or the selection taken away by Ctrl+click) there is
    // nothing to copy, and the clipboard keeps what it holds.
    const int selected = SelectedResultRow();
    if (selected < 0) {
        return;
    }
    SafeClipboardSet(lstResult->item(selected)->text().toStdString());
}

void frmMain::mnuCopy_Click() {
    cmdCopy_Click();
}

void frmMain::lstResult_DblClick() {
    cmdCopy_Click();
}

}  // namespace gapwell
