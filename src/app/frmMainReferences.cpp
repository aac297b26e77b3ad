#include <QApplication>
#include <QListWidgetItem>
#include <QStyle>

#include "app/frmMain.h"
#include "search/References.h"
#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "ui/PointerTexts.h"

namespace gapwell {

void frmMain::ShowPointerMark(QListWidgetItem* item, std::int64_t needed,
                              const RangeReferences& references) {
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
