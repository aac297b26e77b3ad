#include "app/DigitsOnly.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "app/TypedCharacter.h"
#include "platform/Platform.h"

namespace gapwell {

namespace {
constexpr int kFirstPrintable = 32;
const char* const kFilterName = "DigitsOnlyStyle";

class DigitsOnlyFilter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const int typed = TypedCharacterCode(static_cast<const QKeyEvent&>(*event));
        if (typed < kFirstPrintable || (typed >= '0' && typed <= '9')) {
            return false;
        }
        CurrentPlatform().Beep();
        return true;
    }
};
}  // namespace

void AddDigitsOnlyStyle(QLineEdit* box) {
    if (box->findChild<QObject*>(kFilterName, Qt::FindDirectChildrenOnly) != nullptr) {
        return;
    }
    auto* filter = new DigitsOnlyFilter(box);
    filter->setObjectName(kFilterName);
    box->installEventFilter(filter);
}

}  // namespace gapwell
