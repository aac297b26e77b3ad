#include "ui/FrameLayout.h"

#include <QGroupBox>
#include <algorithm>

namespace gapwell {

void KeepBelowCaption(const QGroupBox* frame, QWidget* content) {
    content->move(content->x(), std::max(content->y(), frame->contentsRect().top()));
}

}  // namespace gapwell
