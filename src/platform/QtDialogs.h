#pragma once

#include <string>

#include "platform/Platform.h"

namespace gapwell {

// The Qt dialogs behind the platform's message boxes and Open dialog. Each is modal over the
// active window and needs a QApplication.

// A task-dialog-style box; returns the task dialog's result (Esc and the close box give Cancel).
int ShowTaskDialog(const TaskDialogRequest& request);
// A classic message box with the classic style value; returns the classic answer, 0 for an
// unknown button set.
int ShowClassicMessageBox(const std::string& text, const std::string& title, int style);
// Returns the chosen full path, or an empty text when the dialog was cancelled.
std::string ShowOpenFileDialog(const OpenFileRequest& request);

}  // namespace gapwell
