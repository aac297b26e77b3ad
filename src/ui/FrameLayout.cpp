#include "ui/FrameLayout.h"

#include <QGroupBox>
#include <algorithm>

namespace gapwell {

namespace {

// The room the options frame leaves between its border and its first line of text.
constexpr int kRoomBelowBorder = 4;

}  // namespace

void KeepBelowCaption(const QGroupBox* frame, QWidget* content) {
    const int clearTop = frame->contentsRect().top() + kRoomBelowBorder;
    content->move(content->x(), std::max(content->y(), clearTop));
}

}  // namespace gapwell
