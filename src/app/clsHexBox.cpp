#include "app/clsHexBox.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

#include "platform/Platform.h"
#include "ui/EditStyles.h"

namespace gapwell {

namespace {
constexpr int kMaxHexDigits = 8;
constexpr int kLowerToUpper = 'a' - 'A';

bool IsHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}
}  // namespace

clsHexBox::clsHexBox(QObject* parent) : QObject(parent) {}

void clsHexBox::SetTextBox(QLineEdit* textBox) {
    if (textBox_ != nullptr) {
        textBox_->removeEventFilter(this);
        disconnect(changeConnection_);
    }
    textBox_ = textBox;
    if (textBox != nullptr) {
        textBox->installEventFilter(this);
        changeConnection_ =
            connect(textBox, &QLineEdit::textChanged, this, &clsHexBox::TextBox_Change);
    }
}

void clsHexBox::MakeUpperCase() {
    if (textBox_ != nullptr) {
        AddUpperCaseStyle(textBox_);
    }
}

bool clsHexBox::IsValidHex(const QString& text) {
    if (text.isEmpty() || text.size() > kMaxHexDigits) {
        return false;
    }
    return std::all_of(text.begin(), text.end(), IsHexDigit);
}

int clsHexBox::TextBox_KeyPress(int keyAscii) {
    switch (keyAscii) {
        case kCharBackspace:
        case kCharCtrlC:
        case kCharCtrlV:
        case kCharCtrlX:
        case kCharCtrlZ:
            return keyAscii;
        default:
            break;
    }
    if ((keyAscii >= '0' && keyAscii <= '9') || (keyAscii >= 'A' && keyAscii <= 'F')) {
        return keyAscii;
    }
    if (keyAscii >= 'a' && keyAscii <= 'f') {
        return keyAscii - kLowerToUpper;
    }
    CurrentPlatform().Beep();
    return 0;
}

void clsHexBox::TextBox_Change() {
    if (!IsValidHex(textBox_->text())) {
        textBox_->setText(QString());
        CurrentPlatform().Beep();
    }
}

bool clsHexBox::eventFilter(QObject* watched, QEvent* event) {
    // The event type is checked first: while the box is being destroyed it still sends events
    // here, and looking at the guarded pointer then would treat a half-destroyed object as a
    // line edit.
    if (event->type() != QEvent::KeyPress || watched != textBox_) {
        return false;
    }
    const auto& keyEvent = static_cast<const QKeyEvent&>(*event);
    const int typed = TypedCharacterCode(keyEvent);
    if (typed == 0) {
        return false;
    }
    const int passed = TextBox_KeyPress(typed);
    if (passed == typed) {
        return false;
    }
    if (passed != 0) {
        // The replacement reaches the box as if that character had been typed.
        QKeyEvent replaced(QEvent::KeyPress, keyEvent.key(), keyEvent.modifiers(),
                           QString(QChar(static_cast<char16_t>(passed))), keyEvent.isAutoRepeat());
        QCoreApplication::sendEvent(textBox_, &replaced);
    }
    return true;
}

}  // namespace gapwell
