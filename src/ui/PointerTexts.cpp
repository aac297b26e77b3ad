#include "ui/PointerTexts.h"

#include <QStringList>

#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"

namespace gapwell {

QString PointersAtStartText(std::int64_t count, const std::vector<std::int64_t>& listed) {
    QStringList offsets;
    for (const std::int64_t offset : listed) {
        offsets << QString::number(offset, 16).toUpper();
    }
    if (count > static_cast<std::int64_t>(listed.size())) {
        offsets << QStringLiteral("…");
    }
    return QString::fromStdString(LoadString(kStrPointersAtStart))
        .arg(count)
        .arg(offsets.join(QStringLiteral(", ")));
}

}  // namespace gapwell
