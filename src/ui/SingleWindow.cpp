#include "ui/SingleWindow.h"

#include <QWidget>

namespace gapwell {

void ShowInFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace gapwell
