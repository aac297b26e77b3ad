#pragma once

#include <QPointer>

class QWidget;

namespace gapwell {

// The one loaded window of the type `Window`, for windows of which the program loads at most one
// at a time. Loading gives back the loaded window, or creates one when none is loaded. A window
// calls Forget as it unloads, so that the next load creates a fresh one even while the unloaded
// window still waits to be destroyed; a window destroyed without unloading is forgotten too.
template <typename Window>
class SingleWindow {
  public:
    // The loaded window; empty while none is loaded.
    static const QPointer<Window>& Loaded() { return Held(); }

    // The loaded window; when none is loaded, the one `create` makes, which is then the loaded
    // one.
    template <typename Create>
    static Window& Load(Create create) {
        if (Held().isNull()) {
            Held() = create();
        }
        return *Held();
    }

    // When `window` is the loaded window, none is loaded any more.
    static void Forget(const Window* window) {
        if (Held() == window) {
            Held() = nullptr;
        }
    }

  private:
    static QPointer<Window>& Held() {
        static QPointer<Window> window;
        return window;
    }
};

// Shows a modeless window, brings it in front of the others and gives it the keyboard.
void ShowInFront(QWidget* window);

}  // namespace gapwell
