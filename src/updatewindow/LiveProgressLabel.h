#pragma once

#include <QPointer>
#include <QString>
#include <chrono>

class QLabel;

namespace gapwell {

// A progress line kept live while a transfer runs on the user-interface thread: after each
// piece the window's pending messages run, so that it stays responsive (Cancel works), but the
// label is repainted only when its text changed and at most about 60 times a second, since a
// repaint per piece costs more than the transfer itself.
class LiveProgressLabel {
  public:
    explicit LiveProgressLabel(QLabel* label);

    // Shows `text` (when due) and lets pending window messages run.
    void Show(const QString& text);

  private:
    QPointer<QLabel> label_;
    std::chrono::steady_clock::time_point lastRepaint_{};
};

}  // namespace gapwell
