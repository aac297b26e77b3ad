#pragma once

class QLineEdit;

namespace gapwell {

// The upper-case edit style (ES_UPPERCASE of a classic edit control): every letter that reaches
// the box, typed, pasted or set by the program, is upper-cased.
void AddUpperCaseStyle(QLineEdit* box);

}  // namespace gapwell
