#pragma once

#include <QString>

class QWidget;

namespace gapwell {

// Gives `window` the program's icon group `iconName` (":/icons/<iconName>/<size>.png") at the
// large and at the small icon size; with `setAppIcon` its topmost owner gets the icons first.
// An icon group that cannot be loaded leaves the windows without that icon. Failures are
// reported as "SetIcon" in "modIcon".
void SetIcon(QWidget* window, const QString& iconName, bool setAppIcon);

}  // namespace gapwell
