#pragma once

#include <string>

namespace gapwell {

// Flags of the Open dialog.
inline constexpr int OFN_HIDEREADONLY = 0x4;
inline constexpr int OFN_PATHMUSTEXIST = 0x800;
inline constexpr int OFN_FILEMUSTEXIST = 0x1000;

// Shows the Open dialog and returns the chosen full path, or an empty text when the user cancels
// (or the dialog fails). `filter` lists descriptions and patterns separated by "|", such as
// "Text (*.txt)|*.txt|". An empty `initialDir` starts the dialog at the path chosen last.
// The dialog is modal to the whole program, so it needs no owner window.
// Failures are reported as "ShowOpen" in "modOpenDialog".
std::string ShowOpen(const std::string& title, const std::string& initialDir,
                     const std::string& filter, int filterIndex, const std::string& defaultExt,
                     int flags);

}  // namespace gapwell
