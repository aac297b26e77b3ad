#pragma once

namespace gapwell {

// The program's entry point: completes an interrupted update of a portable copy
// (InterruptedUpdate.h), then creates the main window and shows it modeless; the program then
// runs on the window's events. Failures are reported as "Main" in "modMain".
void Main();

// Closes the loaded main window, so that its unload handling runs: what the platform's
// UnloadMainWindow does in this program.
void CloseMainWindow();

}  // namespace gapwell
