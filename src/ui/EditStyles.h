#pragma once

class QKeyEvent;
class QLineEdit;

namespace gapwell {

// Character codes of the keys that the input filters and key-press handlers treat specially.
inline constexpr int kCharCtrlC = 3;
inline constexpr int kCharBackspace = 8;
inline constexpr int kCharEnter = 13;
inline constexpr int kCharCtrlV = 22;
inline constexpr int kCharCtrlX = 24;
inline constexpr int kCharCtrlZ = 26;
inline constexpr int kCharEscape = 27;

// The character code a key press types into a text box, as a classic edit control receives it:
// Ctrl plus a letter gives 1 to 26, Backspace 8, Enter 13, Escape 27, a printable key its
// character. Keys that type nothing (arrows, Delete, Tab, function keys, modifiers alone) give 0;
// they reach the box untouched.
int TypedCharacterCode(const QKeyEvent& event);

// The digits-only edit style (ES_NUMBER of a classic edit control): the box refuses typed
// characters other than 0 to 9 with a beep. Editing keys (Backspace, Ctrl+C/V/X/Z ...) work as
// before, and pasted text is not filtered. Adding the style twice changes nothing.
void AddDigitsOnlyStyle(QLineEdit* box);

// The upper-case edit style (ES_UPPERCASE of a classic edit control): every letter that reaches
// the box, typed, pasted or set by the program, is upper-cased.
void AddUpperCaseStyle(QLineEdit* box);

}  // namespace gapwell
