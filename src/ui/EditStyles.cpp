#include "ui/EditStyles.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

#include "platform/Platform.h"

namespace gapwell {

namespace {
constexpr int kFirstPrintable = 32;
const char* const kDigitsOnlyFilterName = "DigitsOnlyStyle";

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

// The box applies its validator to every new text and takes the validator's corrected text.
class UpperCaseValidator : public QValidator {
  public:
    using QValidator::QValidator;

    State validate(QString& input, int& /*pos*/) const override {
        input = input.toUpper();
        return Acceptable;
    }
};
}  // namespace

int TypedCharacterCode(const QKeyEvent& event) {
    const int key = event.key();
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const bool controlOnly =
        modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier);
    if (controlOnly && key >= Qt::Key_A && key <= Qt::Key_Z) {
        return key - Qt::Key_A + 1;
    }
    switch (key) {
        case Qt::Key_Backspace:
            return kCharBackspace;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kCharEnter;
        case Qt::Key_Escape:
            return kCharEscape;
        default:
            break;
    }
    const QString text = event.text();
    if (controlOnly || text.size() != 1 || !text.front().isPrint()) {
        return 0;
    }
    return text.front().unicode();
}

void AddDigitsOnlyStyle(QLineEdit* box) {
    if (box->findChild<QObject*>(kDigitsOnlyFilterName, Qt::FindDirectChildrenOnly) != nullptr) {
        return;
    }
    auto* filter = new DigitsOnlyFilter(box);
    filter->setObjectName(kDigitsOnlyFilterName);
    box->installEventFilter(filter);
}

void AddUpperCaseStyle(QLineEdit* box) {
    box->setValidator(new UpperCaseValidator(box));
}

}  // namespace gapwell
