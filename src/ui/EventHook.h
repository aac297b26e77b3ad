#pragma once

#include <QEvent>
#include <functional>

class QWidget;

namespace gapwell {

// Calls `handler` whenever `watched` receives an event of `type`, before the object itself
// handles it; the event then goes on as usual. The hook lives as long as `watched`.
void ConnectEvent(QObject* watched, QEvent::Type type, std::function<void()> handler);

// Calls `handler` when `control` loses the focus to another control of the program. Switching to
// another program or opening a menu is no loss of focus.
void ConnectLostFocus(QWidget* control, std::function<void()> handler);

}  // namespace gapwell
