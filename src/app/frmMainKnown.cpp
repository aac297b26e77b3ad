#include <QLabel>
#include <iterator>

#include "app/frmMain.h"
#include "app/modOpenDialog.h"
#include "base/RuntimeError.h"
#include "mapwindow/ShowFreeSpaceMap.h"
#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "services/modMsgBox.h"

namespace gapwell {

namespace {
const char* const kBuildFileFilter =
    "Build symbols (*.sym, *.txt, *.map, *.elf)|*.sym;*.txt;*.map;*.elf|All files (*)|*|";
constexpr int kOkExclamation = 48;
}  // namespace

void frmMain::mnuOpenSymbols_Click() {
    const std::string chosen =
        ShowOpen(LoadString(kStrOpeningBuildSymbols), std::string(), kBuildFileFilter, 0,
                 std::string(), OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY);
    if (!chosen.empty()) {
        LoadBuildSymbols(chosen);
    }
}

// A file that is no build file is the user's choice, not the program's failure: one message
// with the reason, and the marks loaded before stay.
bool frmMain::LoadBuildSymbols(const std::string& path) {
    BuildFile file;
    try {
        file = ReadBuildFile(path);
    } catch (const RuntimeError& error) {
        ShowMessage(LoadString(kStrBuildSymbolsUnreadable) + "\n" + error.Description(),
                    kOkExclamation);
        return false;
    }
    std::move(file.marks.begin(), file.marks.end(), std::back_inserter(m_KnownMarks));
    ShowKnownCount();
    // An open map shows the new marks at once.
    if (IsOpen(QStringLiteral("frmFreeSpaceMap"))) {
        mnuFreeSpaceMap_Click();
    }
    return true;
}

void frmMain::ShowKnownCount() {
    lblKnownData->setText(
        QString::fromStdString(LoadString(kStrKnownCount)).arg(m_KnownMarks.size()));
    PlaceKnownCount(!m_KnownMarks.empty());
}

}  // namespace gapwell
