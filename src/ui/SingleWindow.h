#pragma once

#include "ui/LoadedForms.h"

class QWidget;

namespace gapwell {

// How the program owns a window of which it loads at most one at a time (the main window, the
// About window, the map, the wizard).
struct SingleWindowOwnership {
    // The name the window's key handling reports its failures under.
    const char* moduleName;
    // Destroyed once a close is accepted; a window that must outlive its close (the wizard while
    // a transfer runs) destroys itself.
    bool deleteOnClose = true;
    // Esc, seen before the focused control, closes the window (reported as "Form_KeyPress").
    bool escapeCloses = true;
};

// Loads `window`, once its controls exist: it is among the loaded windows until a close of it is
// accepted, so the main window's unload closes it and the next LoadSingleWindow creates a fresh
// window even while this one still waits to be destroyed.
void OwnSingleWindow(QWidget* window, const SingleWindowOwnership& ownership);

// The loaded window of the type `Window`; when none is loaded, the one `create` makes, which
// loads itself through OwnSingleWindow.
template <typename Window, typename Create>
Window& LoadSingleWindow(Create create) {
    if (Window* loaded = LoadedForms::Find<Window>()) {
        return *loaded;
    }
    return *create();
}

// Shows a modeless window, brings it in front of the others and gives it the keyboard.
void ShowInFront(QWidget* window);

}  // namespace gapwell
