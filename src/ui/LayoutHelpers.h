#pragma once

#include <QRect>
#include <QString>

class QFont;
class QLabel;
class QObject;
class QPushButton;
class QWidget;

namespace gapwell {

// The windows' design positions: the main window's in pixels, the dialogs' in twips, of which
// 15 make one pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;

// The string id of a control whose text the program sets itself: Localize leaves it alone.
inline constexpr int kNoStringId = 0;

int TwipsToPixels(int twips);
QRect TwipsRect(int left, int top, int width, int height);

// The windows' font: Tahoma, or a similar sans-serif face where Tahoma is not installed.
inline constexpr qreal kProgramFontPoints = 8.25;
QFont ProgramFont(qreal pointSize = kProgramFontPoints);

// Gives `control` the string id whose text Localize puts on it.
void SetStringId(QObject* control, int stringId);

// Names `control` and puts it at `area` of its parent.
template <typename Control>
Control* Place(Control* control, const char* name, const QRect& area) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(area);
    return control;
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, const QRect& area);
QPushButton* AddButton(QWidget* parent, const char* name, const QString& text, const QRect& area);

}  // namespace gapwell
