#pragma once

#include <QWidget>
#include <vector>

namespace gapwell {

// The program's loaded windows in the order they were loaded. A window registers itself when it
// loads and leaves when it unloads (or is destroyed); hidden windows still count as loaded.
class LoadedForms {
  public:
    static void Add(QWidget* form);
    static void Remove(QWidget* form);
    // Loaded windows, first loaded first; windows destroyed meanwhile are left out.
    static std::vector<QWidget*> All();
};

}  // namespace gapwell
