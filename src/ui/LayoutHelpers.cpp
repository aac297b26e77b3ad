#include "ui/LayoutHelpers.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>

namespace gapwell {

int TwipsToPixels(int twips) {
    return twips / kTwipsPerPixel;
}

QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

QFont ProgramFont(qreal pointSize) {
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);  // used when Tahoma is not installed
    font.setPointSizeF(pointSize);
    return font;
}

void SetStringId(QObject* control, int stringId) {
    control->setProperty("tag", QString::number(stringId));
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, const QRect& area) {
    return Place(new QLabel(text, parent), name, area);
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& text, const QRect& area) {
    return Place(new QPushButton(text, parent), name, area);
}

}  // namespace gapwell
