#pragma once

#include <QString>
#include <QWidget>
#include <vector>

namespace gapwell {

// The program's loaded windows in the order they were loaded: the one place that answers whether
// a window is loaded. A window counts from its load until a close of it is accepted (or it is
// destroyed); hidden windows still count. Windows of which at most one is loaded register through
// OwnSingleWindow (SingleWindow.h).
class LoadedForms {
  public:
    static void Add(QWidget* form);
    static void Remove(QWidget* form);
    // Loaded windows, first loaded first; windows destroyed meanwhile are left out.
    static std::vector<QWidget*> All();
    // True when some loaded window's object name contains `part` (case-sensitive).
    static bool AnyNamed(const QString& part);

    // The first loaded window of the type `Window`; null when none is loaded.
    template <typename Window>
    static Window* Find() {
        for (QWidget* form : All()) {
            if (auto* window = qobject_cast<Window*>(form)) {
                return window;
            }
        }
        return nullptr;
    }
};

}  // namespace gapwell
