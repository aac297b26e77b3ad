#include "ui/EventHook.h"

#include <QFocusEvent>
#include <QWidget>
#include <utility>

namespace gapwell {

namespace {
// Shows every event of its parent to a handler and lets the event go on.
class EventHook : public QObject {
  public:
    EventHook(QObject* watched, std::function<void(QEvent&)> handler)
        : QObject(watched), handler_(std::move(handler)) {
        watched->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent()) {
            handler_(*event);
        }
        return false;
    }

  private:
    std::function<void(QEvent&)> handler_;
};
}  // namespace

void ConnectEvent(QObject* watched, QEvent::Type type, std::function<void()> handler) {
    new EventHook(watched, [type, handler = std::move(handler)](QEvent& event) {
        if (event.type() == type) {
            handler();
        }
    });
}

void ConnectLostFocus(QWidget* control, std::function<void()> handler) {
    new EventHook(control, [handler = std::move(handler)](QEvent& event) {
        if (event.type() != QEvent::FocusOut) {
            return;
        }
        const Qt::FocusReason reason = static_cast<QFocusEvent&>(event).reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            handler();
        }
    });
}

}  // namespace gapwell
