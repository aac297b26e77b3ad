#include <QLineEdit>
#include <QRadioButton>

#include "app/frmMain.h"
#include "mapwindow/ShowFreeSpaceMap.h"
#include "search/Numbers.h"
#include "search/SearchQuery.h"
#include "ui/InputMaxLength.h"

namespace gapwell {

// The map reads the filler byte and the needed length from the search fields, follows them,
// and a click on a usable run searches from the offset it names.
void frmMain::mnuFreeSpaceMap_Click() {
    FreeSpaceMapLink link;
    link.inputs = [this] {
        const SearchOptions options = ReadSearchFields();
        return FreeSpaceMapInputs{m_FileName, options.filler, options.needed, m_KnownMarks};
    };
    link.inputFields = {txtByteType, txtNeededBytes};
    link.searchFrom = [this](std::int64_t offset) {
        // Choosing "Search from offset" brings back the box's earlier text: choose it first.
        optOffset[0]->setChecked(true);
        SetTextUncut(txtOffset, QString::fromStdString(ToHex(static_cast<std::uint64_t>(offset))));
        cmdSearch_Click();
    };
    ShowFreeSpaceMap(this, std::move(link));
}

}  // namespace gapwell
