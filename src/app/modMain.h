#pragma once

namespace gapwell {

// The program's entry point: creates the main window and shows it modeless; the program then
// runs on the window's events. Failures are reported as "Main" in "modMain".
void Main();

}  // namespace gapwell
