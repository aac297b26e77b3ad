#pragma once

#include <functional>

class QWidget;

namespace gapwell {

// A window that sees key presses before its controls do: `keyPress` receives the
// character code of each key pressed in `window` or any of its present controls (see
// TypedCharacterCode) and returns true when it handled the key, which then does not reach the
// control. Each key press is shown once, at the control that has the focus.
void SetKeyPreview(QWidget* window, std::function<bool(int keyAscii)> keyPress);

}  // namespace gapwell
