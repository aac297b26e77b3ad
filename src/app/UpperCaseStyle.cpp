#include "app/UpperCaseStyle.h"

#include <QLineEdit>
#include <QValidator>

namespace gapwell {

namespace {
// The box applies its validator to every new text and takes the validator's corrected text.
class UpperCaseValidator : public QValidator {
  public:
    using QValidator::QValidator;

    State validate(QString& input, int& /*pos*/) const override {
        input = input.toUpper();
        return Acceptable;
    }
};
}  // namespace

void AddUpperCaseStyle(QLineEdit* box) {
    box->setValidator(new UpperCaseValidator(box));
}

}  // namespace gapwell
