#pragma once

namespace gapwell {

// Makes the windows' fonts (Tahoma, MS Sans Serif) available from the copies that the Wine
// fonts package installs. A missing font file is skipped: Qt then substitutes a similar font.
void LoadProgramFonts();

}  // namespace gapwell
