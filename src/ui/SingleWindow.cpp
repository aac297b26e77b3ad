#include "ui/SingleWindow.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

#include "services/ErrorScope.h"
#include "ui/EditStyles.h"
#include "ui/KeyPreview.h"

namespace gapwell {

namespace {

// Takes the window out of the loaded windows when it accepts a close. The window decides first:
// the close event is handed to it here and its answer read afterwards (so filters installed on the
// window before this one do not see the close).
class UnloadOnClose : public QObject {
  public:
    explicit UnloadOnClose(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_ || event->type() != QEvent::Close) {
            return false;
        }
        // A window that destroys itself as it closes takes this filter with it.
        const QPointer<QWidget> window(window_);
        static_cast<QObject*>(window)->event(event);
        if (!window.isNull() && event->isAccepted()) {
            LoadedForms::Remove(window);
        }
        return true;
    }

  private:
    QWidget* window_;
};

}  // namespace

void OwnSingleWindow(QWidget* window, const SingleWindowOwnership& ownership) {
    window->setAttribute(Qt::WA_DeleteOnClose, ownership.deleteOnClose);
    LoadedForms::Add(window);
    new UnloadOnClose(window);
    if (!ownership.escapeCloses) {
        return;
    }
    SetKeyPreview(window, [window, moduleName = ownership.moduleName](int keyAscii) {
        if (keyAscii != kCharEscape) {
            return false;
        }
        ErrorScope scope("Form_KeyPress", moduleName);
        scope.Step([&] { window->close(); });
        return true;
    });
}

void ShowInFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace gapwell
