#pragma once

class QGroupBox;
class QWidget;

namespace gapwell {

// Moves `content`, a control placed inside `frame`, down as far as needed to leave a little room
// between it and the frame's caption and top border. The classic positions assume a caption
// that straddles the border; styles that put the caption above the border, and larger fonts,
// need more room.
void KeepBelowCaption(const QGroupBox* frame, QWidget* content);

}  // namespace gapwell
