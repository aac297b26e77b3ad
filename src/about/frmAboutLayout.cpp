// Controls of the About window. Positions are designed in twips; at 96 dots per inch 15 twips
// make one pixel. Qt draws later siblings over earlier ones, so the controls are created from
// the back (the white header band) to the front (the buttons).

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include "about/frmAbout.h"
#include "services/modLocalizedIDs.h"

namespace gapwell {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidthTwips = 6180;
constexpr int kClientHeightTwips = 2100;

int Pixels(int twips) {
    return twips / kTwipsPerPixel;
}

QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
}

QFont TahomaFont(qreal pointSize, bool bold) {
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);  // used when Tahoma is not installed
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

// The grey of dimmed but readable text. (The disabled text colour of some styles is too light
// to read on the button-face background of the copyright notice.)
QColor GrayText(const QPalette& palette) {
    return palette.color(QPalette::PlaceholderText);
}

void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// A rectangle filled with one colour and no border (shapes and one-pixel lines).
QWidget* AddFilledRect(QWidget* parent, const char* name, const QRect& area, const QColor& colour) {
    auto* rect = new QWidget(parent);
    rect->setObjectName(QLatin1String(name));
    rect->setGeometry(area);
    rect->setAutoFillBackground(true);
    SetColour(rect, QPalette::Window, colour);
    return rect;
}

QWidget* AddHorizontalLine(QWidget* parent, const char* name, int x1Twips, int x2Twips,
                           int yTwips) {
    const QRect area(Pixels(x1Twips), Pixels(yTwips), Pixels(x2Twips) - Pixels(x1Twips) + 1, 1);
    return AddFilledRect(parent, name, area, parent->palette().color(QPalette::Dark));
}

// A label that sizes itself to its text: the design position fixes its top left corner.
QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, const QRect& area) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(area);
    label->adjustSize();
    return label;
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& text, const QRect& area) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(area);
    return button;
}

}  // namespace

void frmAbout::BuildControls() {
    setObjectName(QStringLiteral("frmAbout"));
    setProperty("tag", QString::number(kStrAbout));
    setWindowTitle(QStringLiteral("About"));
    setFont(TahomaFont(8.25, false));
    setFixedSize(Pixels(kClientWidthTwips), Pixels(kClientHeightTwips));

    AddFilledRect(this, "shpHeaderBackground", TwipsRect(0, 0, 6225, 780), Qt::white);

    lblAppName =
        AddLabel(this, "lblAppName", QStringLiteral("AppName"), TwipsRect(960, 210, 1065, 270));
    lblAppName->setFont(TahomaFont(11.25, true));
    lblAppName->adjustSize();

    imgIcon = new QLabel(this);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setGeometry(TwipsRect(240, 120, 480, 480));

    lblVersion =
        AddLabel(this, "lblVersion", QStringLiteral("v1.0.0"), TwipsRect(5640, 480, 390, 150));
    lblVersion->setProperty("tag", QStringLiteral("0"));
    lblVersion->setFont(TahomaFont(6, true));
    SetColour(lblVersion, QPalette::WindowText, GrayText(palette()));
    lblVersion->adjustSize();

    AddHorizontalLine(this, "linCopyright", 90, 6090, 1470);
    AddHorizontalLine(this, "linShadow", 0, 6225, 735);

    lblDescription =
        AddLabel(this, "lblDescription", QStringLiteral("Descr"), TwipsRect(240, 960, 405, 195));
    lblDescription->setProperty("tag", QString::number(kStrAboutDescription));

    // Opaque, so that its background interrupts linCopyright behind the text.
    lblCopyright = AddLabel(this, "lblCopyright", QStringLiteral("  Copyright  "),
                            TwipsRect(210, 1365, 885, 195));
    lblCopyright->setAutoFillBackground(true);
    SetColour(lblCopyright, QPalette::Window, palette().color(QPalette::Button));
    SetColour(lblCopyright, QPalette::WindowText, GrayText(palette()));

    cmdOK = AddButton(this, "cmdOK", QStringLiteral("OK"), TwipsRect(4920, 1620, 1140, 345));
    cmdWeb = AddButton(this, "cmdWeb", QStringLiteral("Web"), TwipsRect(3720, 1620, 1140, 345));
    setTabOrder(cmdOK, cmdWeb);
    cmdOK->setFocus();
}

}  // namespace gapwell
