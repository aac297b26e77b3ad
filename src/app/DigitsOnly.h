#pragma once

class QLineEdit;

namespace gapwell {

// The digits-only edit style (ES_NUMBER of a classic edit control): the box refuses typed
// characters other than 0 to 9 with a beep. Editing keys (Backspace, Ctrl+C/V/X/Z ...) work as
// before, and pasted text is not filtered. Adding the style twice changes nothing.
void AddDigitsOnlyStyle(QLineEdit* box);

}  // namespace gapwell
