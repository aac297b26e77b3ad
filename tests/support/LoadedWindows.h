#pragma once

#include <QList>
#include <QWidget>

#include "ui/LoadedForms.h"

namespace gapwell::test {

// The loaded windows of the type `Window` (every loaded window by default), first loaded first.
template <typename Window = QWidget>
QList<Window*> LoadedWindows() {
    QList<Window*> windows;
    for (QWidget* form : LoadedForms::All()) {
        if (auto* window = qobject_cast<Window*>(form)) {
            windows.append(window);
        }
    }
    return windows;
}

// Drops every window from the loaded windows, so that the next test starts with none.
inline void UnloadAll() {
    for (QWidget* form : LoadedForms::All()) {
        LoadedForms::Remove(form);
    }
}

}  // namespace gapwell::test
