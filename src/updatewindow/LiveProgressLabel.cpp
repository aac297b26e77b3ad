#include "updatewindow/LiveProgressLabel.h"

#include <QLabel>

#include "platform/Platform.h"

namespace gapwell {

namespace {

constexpr std::chrono::milliseconds kRepaintInterval{16};

}  // namespace

LiveProgressLabel::LiveProgressLabel(QLabel* label) : label_(label) {}

void LiveProgressLabel::Show(const QString& text) {
    const auto now = std::chrono::steady_clock::now();
    if (label_ != nullptr && text != label_->text() && now - lastRepaint_ >= kRepaintInterval) {
        label_->setText(text);
        label_->repaint();
        lastRepaint_ = now;
    }
    CurrentPlatform().DoEvents();
}

}  // namespace gapwell
