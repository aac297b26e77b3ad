#pragma once

class QFont;
class QWidget;

namespace gapwell {

// Makes the windows' font Tahoma available from the copy that the Wine fonts package installs.
// A missing font file is skipped: Qt then substitutes a similar font.
void LoadProgramFonts();

// True when `font`'s family is installed as an outline face, which draws sharply at any size.
// A family that is missing, or only present as fixed-size bitmaps (Wine's "MS Sans Serif"),
// is not: scaled up for a high-density screen it draws tiny glyphs with wide gaps.
bool HasScalableFace(const QFont& font);

// Gives every control of `window` whose own font names a family without a scalable face the
// family of the font it would otherwise inherit, when that one has a scalable face; size, weight
// and style stay.
void UseScalableFaces(QWidget* window);

}  // namespace gapwell
