#include "updatewindow/LiveProgressLabel.h"

#include <QLabel>
#include <QLocale>

#include "platform/Platform.h"
#include "services/Language.h"

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

char UserDecimalSeparator() {
    const QLocale locale(QString::fromStdString(LanguageTag(UserLanguageId())));
    const QString separator = locale.decimalPoint();
    const char latin1 = separator.size() == 1 ? separator.at(0).toLatin1() : '\0';
    return latin1 != '\0' ? latin1 : '.';
}

}  // namespace gapwell
