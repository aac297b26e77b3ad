#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <cstdint>
#include <limits>
#include <optional>

#include "app/frmMain.h"
#include "search/FindNextSearch.h"
#include "search/Numbers.h"
#include "search/modSearchFreeSpace.h"
#include "services/ErrorScope.h"
#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "services/modMsgBox.h"

namespace gapwell {

namespace {
constexpr int kOkExclamation = 48;
constexpr std::int64_t kLastOffset = std::numeric_limits<std::int32_t>::max();

std::int64_t ReadDecimal(const QString& text) {
    return ReadDecimalLeading(text.toStdString());
}
std::int64_t ReadHex(const QString& text) {
    return ReadHexLeading(text.toStdString());
}

// Field readings beyond the 32-bit offsets (possible only through texts the program wrote)
// count as the largest offset, where a search simply finds nothing.
std::int32_t ToOffset(std::int64_t value) {
    return static_cast<std::int32_t>(std::min(value, kLastOffset));
}
}  // namespace

frmMain::SearchFields frmMain::ReadSearchFields() const {
    SearchFields fields;
    fields.fillerByte = static_cast<std::uint8_t>(ReadHex(txtByteType->text()));
    fields.neededBytes = ReadDecimal(txtNeededBytes->text());
    fields.startOffset = optOffset[1]->isChecked() ? 0 : ReadHex(txtOffset->text());
    fields.interval = ReadDecimal(txtSearchInterval->text());
    return fields;
}

void frmMain::DoSearch(bool FindNext) {
    const SearchFields fields = ReadSearchFields();
    const auto searchFrom = [this, &fields](std::int32_t from) { return SearchFrom(fields, from); };
    // The list's tag holds the last result, the base of "Find next".
    FindNextSearch search(ReadDecimal(lstResult->property("tag").toString()));
    std::optional<std::int32_t> result;
    if (!FindNext) {
        mnuCopy->setEnabled(false);
        mnuFindNext->setEnabled(false);
        cmdCopy->setEnabled(false);
        cmdFindNext->setEnabled(false);
        lstResult->clear();
        result = search.Search(ToOffset(fields.startOffset), searchFrom);
    } else {
        result = search.FindNext(fields.interval, searchFrom);
    }
    if (!result) {
        ShowMessage(LoadString(kStrNotEnoughFreeSpace), kOkExclamation);
        return;
    }

    lstResult->addItem(QString::fromStdString(ToHex(static_cast<std::uint64_t>(*result))));
    MarkReferencedResult(lstResult->item(lstResult->count() - 1), *result);
    lstResult->setProperty("tag", QString::number(*result));
    if (FindNext) {
        lstResult->setCurrentRow(SelectedResultRow() + 1);
        return;
    }
    mnuCopy->setEnabled(true);
    mnuFindNext->setEnabled(true);
    cmdCopy->setEnabled(true);
    cmdFindNext->setEnabled(true);
    lstResult->setCurrentRow(0);
}

int frmMain::SelectedResultRow() const {
    const QList<QListWidgetItem*> selected = lstResult->selectedItems();
    return selected.isEmpty() ? -1 : lstResult->row(selected.front());
}

std::int32_t frmMain::SearchFrom(const SearchFields& fields, std::int32_t start) {
    std::int32_t result = 0;
    ErrorScope scope("SearchFreeSpace", "modSearchFreeSpace");
    scope.Step([&] {
        result = SearchFreeSpace(m_FileName, fields.fillerByte, ToOffset(fields.neededBytes), start,
                                 kSearchChunkSize, 0);
    });
    return result;
}

void frmMain::cmdSearch_Click() {
    DoSearch(false);
}

void frmMain::cmdFindNext_Click() {
    DoSearch(true);
}

void frmMain::mnuSearch_Click() {
    cmdSearch_Click();
}

void frmMain::mnuFindNext_Click() {
    cmdFindNext_Click();
}

void frmMain::DisableControls() {
    mnuSearch->setEnabled(false);
    mnuFindNext->setEnabled(false);
    mnuCopy->setEnabled(false);
    mnuFreeSpaceMap->setEnabled(false);
    for (QLabel* label : {lblFreeSpace, lblNeededBytes, lblSearchInterval}) {
        label->setEnabled(false);
    }
    for (QLineEdit* field : {txtByteType, txtNeededBytes, txtSearchInterval, txtOffset}) {
        field->setEnabled(false);
    }
    for (QPushButton* button : {cmdSearch, cmdFindNext, cmdCopy}) {
        button->setEnabled(false);
    }
    optOffset[0]->setEnabled(false);
    optOffset[1]->setEnabled(false);
    lblGameCode->setText(QStringLiteral("ROM: ???"));
    lstResult->clear();
}

void frmMain::EnableControls() {
    mnuSearch->setEnabled(true);
    mnuFreeSpaceMap->setEnabled(true);
    for (QLabel* label : {lblFreeSpace, lblNeededBytes, lblSearchInterval}) {
        label->setEnabled(true);
    }
    for (QLineEdit* field : {txtByteType, txtNeededBytes, txtSearchInterval}) {
        field->setEnabled(true);
    }
    txtOffset->setEnabled(optOffset[0]->isChecked());
    txtByteType->setText(QStringLiteral("FF"));
    cmdSearch->setEnabled(true);
    optOffset[0]->setEnabled(true);
    optOffset[1]->setEnabled(true);
}

}  // namespace gapwell
