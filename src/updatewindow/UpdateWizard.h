#pragma once

class QTimer;
class QWidget;

namespace gapwell {

// "Check Now..." and the timer that shows a found update: shows the Live Update wizard
// modeless, owned by `owner`, as an attended wizard. A wizard not loaded yet is loaded first
// (at its Welcome step); a loaded one, hidden or not, is shown as it is.
void ShowUpdateWizard(QWidget* owner);

// The automatic check at start-up: loads the wizard hidden, owned by `owner`, marks it
// unattended and runs its first step, the version check, before returning. When an update is
// found the wizard stays loaded and starts `showTimer`; otherwise it unloads itself.
void RunUnattendedUpdateCheck(QWidget* owner, QTimer* showTimer);

}  // namespace gapwell
