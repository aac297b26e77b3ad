#include "ui/KeyPreview.h"

#include <QKeyEvent>
#include <QWidget>
#include <utility>

#include "ui/EditStyles.h"

namespace gapwell {

namespace {

class KeyPreview : public QObject {
  public:
    KeyPreview(QWidget* window, std::function<bool(int)> handler)
        : QObject(window), window_(window), handler_(std::move(handler)) {
        window->installEventFilter(this);
        for (QWidget* control : window->findChildren<QWidget*>()) {
            control->installEventFilter(this);
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        // A key press goes to the focused control first and, when that control ignores it, on
        // to its parents; handle it only at the first of these so that it is seen once.
        QWidget* firstReceiver =
            window_->focusWidget() != nullptr ? window_->focusWidget() : window_;
        if (watched != firstReceiver) {
            return false;
        }
        return handler_(TypedCharacterCode(*static_cast<QKeyEvent*>(event)));
    }

  private:
    QWidget* window_;
    std::function<bool(int)> handler_;
};

}  // namespace

void SetKeyPreview(QWidget* window, std::function<bool(int keyAscii)> keyPress) {
    new KeyPreview(window, std::move(keyPress));
}

}  // namespace gapwell
