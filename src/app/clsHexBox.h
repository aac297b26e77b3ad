#pragma once

#include <QLineEdit>
#include <QObject>
#include <QPointer>

namespace gapwell {

// Keeps a text box to a hexadecimal number of 1 to 8 digits: typed keys other than hex digits
// and the editing keys are dropped with a beep, typed a-f become A-F, and any change that leaves
// an invalid text (typed, pasted or set by the program) empties the box with a beep.
class clsHexBox : public QObject {
    Q_OBJECT

  public:
    explicit clsHexBox(QObject* parent = nullptr);

    QLineEdit* TextBox() const { return textBox_; }
    // Serves the given box from now on (and no longer the previous one).
    void SetTextBox(QLineEdit* textBox);

    // Gives the served box the upper-case style: every letter it receives is upper-cased.
    void MakeUpperCase();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static bool IsValidHex(const QString& text);
    // Returns the character to pass on to the box, or 0 to drop the key.
    static int TextBox_KeyPress(int keyAscii);
    void TextBox_Change();

    QPointer<QLineEdit> textBox_;
    QMetaObject::Connection changeConnection_;
};

}  // namespace gapwell
