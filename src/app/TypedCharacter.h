#pragma once

class QKeyEvent;

namespace gapwell {

// Character codes of the keys that the input filters treat specially.
inline constexpr int kCharBackspace = 8;
inline constexpr int kCharCtrlC = 3;
inline constexpr int kCharCtrlV = 22;
inline constexpr int kCharCtrlX = 24;
inline constexpr int kCharCtrlZ = 26;

// The character code a key press types into a text box, as a classic edit control receives it:
// Ctrl plus a letter gives 1 to 26, Backspace 8, Enter 13, Escape 27, a printable key its
// character. Keys that type nothing (arrows, Delete, Tab, function keys, modifiers alone) give 0;
// they reach the box untouched.
int TypedCharacterCode(const QKeyEvent& event);

}  // namespace gapwell
