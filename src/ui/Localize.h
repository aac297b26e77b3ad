#pragma once

class QWidget;

namespace gapwell {

// Replaces the design texts of a window and of all its controls by the texts of their string
// ids, and switches them to the font "Calibri" when such a font is installed (examined once per
// process). Ids: a window's or control's dynamic property "tag" (text, read leniently) and a
// menu item's (QAction's) dynamic property "helpContextId" (int); 0 or none keeps the design
// text, and so does an id without a text in the user's language. A control whose font names a
// family without a scalable face takes the family it would inherit (UseScalableFaces). Only the
// font check reports failures.
void Localize(QWidget* window);

// Localize after the font check: the captions, and the font family "Calibri" when useCalibri.
void LocalizeWithFont(QWidget* window, bool useCalibri);

}  // namespace gapwell
