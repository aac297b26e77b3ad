#pragma once

class QWidget;

namespace gapwell {

// The Help menu's "About" command: creates the About window, owned by `owner`, and shows it
// modeless; when it is already open, brings it forward without loading it again.
void ShowAbout(QWidget* owner);

}  // namespace gapwell
