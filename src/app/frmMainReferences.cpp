#include <QApplication>
#include <QLineEdit>
#include <QListWidgetItem>
#include <QStyle>

#include "app/frmMain.h"
#include "search/Numbers.h"
#include "search/References.h"
#include "services/ErrorScope.h"
#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "ui/PointerTexts.h"

namespace gapwell {

namespace {
// The tooltip names this many pointers and counts the rest.
constexpr std::size_t kListedPointers = 8;
}  // namespace

// Only a word pointing exactly at the result marks it: words pointing into the middle of a long
// run are common by chance in compressed or graphics data, so they are counted, never alarmed on.
void frmMain::MarkReferencedResult(QListWidgetItem* item, std::int32_t result) {
    const std::int64_t needed = ReadDecimalLeading(txtNeededBytes->text().toStdString());
    RangeReferences references;
    ErrorScope scope("MarkReferencedResult", "frmMain");
    scope.Step([&] {
        references = FindReferences(m_FileName, {{result, result + needed}}, kListedPointers)[0];
    });
    if (references.atStartCount == 0) {
        return;
    }
    item->setIcon(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning));
    item->setToolTip(
        PointersAtStartText(references.atStartCount, references.atStart) + QLatin1Char('\n') +
        QString::fromStdString(LoadString(kStrPointersInside)).arg(needed).arg(references.inside) +
        QLatin1Char('\n') + QString::fromStdString(LoadString(kStrMayBeInUse)));
}

}  // namespace gapwell
