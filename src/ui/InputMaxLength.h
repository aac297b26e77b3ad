#pragma once

class QLineEdit;
class QString;

namespace gapwell {

// A text box's maximum length limits what the user types or pastes, but a text that the program
// itself puts into the box is never cut to it (a line edit's own maximum length would cut both).
// The box's own maximum length is therefore kept at the input limit or at the length of its
// text, whichever is larger: while a program text is longer than the limit the user can shorten
// it but not lengthen it. The first call for a box takes the box's maximum length as its limit.

// Sets the input limit of the box; its current text stays whole.
void SetInputMaxLength(QLineEdit* box, int maxLength);

// Puts a program text into the box without cutting it to the input limit.
void SetTextUncut(QLineEdit* box, const QString& text);

}  // namespace gapwell
