#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <cstdint>
#include <functional>
#include <optional>

#include "app/frmMain.h"
#include "search/Numbers.h"
#include "search/SearchSession.h"
#include "services/ErrorScope.h"
#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "services/modMsgBox.h"

namespace gapwell {

namespace {
constexpr int kOkExclamation = 48;

std::int64_t ReadDecimal(const QString& text) {
    return ReadDecimalLeading(text.toStdString());
}
std::int64_t ReadHex(const QString& text) {
    return ReadHexLeading(text.toStdString());
}

// Each step of a search is reported under its own name: the search as the search module's, the
// pointer check of its result as the window's DoSearch, which runs it.
void RunReported(SearchSession::Step step, const std::function<void()>& body) {
    const bool search = step == SearchSession::Step::Search;
    ErrorScope scope(search ? "SearchFreeSpace" : "DoSearch",
                     search ? "modSearchFreeSpace" : "frmMain");
    scope.Step(body);
}
}  // namespace

SearchOptions frmMain::ReadSearchFields() const {
    SearchOptions options;
    options.filler = static_cast<std::uint8_t>(ReadHex(txtByteType->text()));
    options.needed = ReadDecimal(txtNeededBytes->text());
    options.start = optOffset[1]->isChecked() ? 0 : ReadHex(txtOffset->text());
    options.interval = ReadDecimal(txtSearchInterval->text());
    return options;
}

void frmMain::DoSearch(bool findNext) {
    // The fields are read anew for each command; the query keeps the last result.
    searchQuery.options = ReadSearchFields();
    SearchSession session(m_FileName, searchQuery, RunReported, m_KnownMarks);
    if (!findNext) {
        mnuCopy->setEnabled(false);
        mnuFindNext->setEnabled(false);
        cmdCopy->setEnabled(false);
        cmdFindNext->setEnabled(false);
        lstResult->clear();
    }
    const std::optional<MarkedResult> result = findNext ? session.FindNext() : session.Search();
    if (!result) {
        ShowMessage(LoadString(kStrNotEnoughFreeSpace), kOkExclamation);
        return;
    }

    lstResult->addItem(QString::fromStdString(ToHex(static_cast<std::uint64_t>(result->offset))));
    ShowPointerMark(lstResult->item(lstResult->count() - 1), searchQuery.options.needed,
                    result->references);
    if (findNext) {
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
    mnuOpenSymbols->setEnabled(false);
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
    mnuOpenSymbols->setEnabled(true);
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
