#include "ui/InputMaxLength.h"

#include <QLineEdit>
#include <QVariant>
#include <algorithm>

namespace gapwell {

namespace {
const char* const kLimitProperty = "inputMaxLength";

// Keeps the box's own maximum length at max(limit, text length). Changing a line edit's maximum
// length puts its caret at the end, so the caret is put back.
void FitMaxLength(QLineEdit* box) {
    const int wanted = std::max(box->property(kLimitProperty).toInt(), int(box->text().size()));
    if (box->maxLength() != wanted) {
        const int caret = box->cursorPosition();
        box->setMaxLength(wanted);
        box->setCursorPosition(caret);
    }
}

// On first use: takes the box's maximum length as its limit and follows every later change.
void TakeOver(QLineEdit* box) {
    if (box->property(kLimitProperty).isValid()) {
        return;
    }
    box->setProperty(kLimitProperty, box->maxLength());
    QObject::connect(box, &QLineEdit::textChanged, box, [box] { FitMaxLength(box); });
}
}  // namespace

void SetInputMaxLength(QLineEdit* box, int maxLength) {
    TakeOver(box);
    box->setProperty(kLimitProperty, maxLength);
    FitMaxLength(box);
}

void SetTextUncut(QLineEdit* box, const QString& text) {
    TakeOver(box);
    if (text.size() > box->maxLength()) {
        box->setMaxLength(int(text.size()));
    }
    box->setText(text);
}

}  // namespace gapwell
