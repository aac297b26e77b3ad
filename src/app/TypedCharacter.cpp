#include "app/TypedCharacter.h"

#include <QKeyEvent>

namespace gapwell {

namespace {
constexpr int kCharEnter = 13;
constexpr int kCharEscape = 27;
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

}  // namespace gapwell
