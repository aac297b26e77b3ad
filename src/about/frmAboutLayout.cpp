// Controls of the About window. Positions are designed in twips. Qt draws later siblings over
// earlier ones, so the controls are created from the back (the white header band) to the front (the
// buttons).

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include "about/frmAbout.h"
#include "services/modLocalizedIDs.h"
#include "ui/LayoutHelpers.h"

namespace gapwell {

namespace {

constexpr int kClientWidthTwips = 6180;
constexpr int kClientHeightTwips = 2100;

QFont BoldProgramFont(qreal pointSize) {
    QFont font = ProgramFont(pointSize);
    font.setBold(true);
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
    auto* rect = Place(new QWidget(parent), name, area);
    rect->setAutoFillBackground(true);
    SetColour(rect, QPalette::Window, colour);
    return rect;
}

QWidget* AddHorizontalLine(QWidget* parent, const char* name, int x1Twips, int x2Twips,
                           int yTwips) {
    const QRect area(TwipsToPixels(x1Twips), TwipsToPixels(yTwips),
                     TwipsToPixels(x2Twips) - TwipsToPixels(x1Twips) + 1, 1);
    return AddFilledRect(parent, name, area, parent->palette().color(QPalette::Dark));
}

// A label that sizes itself to its text: the design position fixes its top left corner.
QLabel* AddFittedLabel(QWidget* parent, const char* name, const QString& text, const QRect& area) {
    QLabel* label = AddLabel(parent, name, text, area);
    label->adjustSize();
    return label;
}

}  // namespace

void frmAbout::BuildControls() {
    setObjectName(QStringLiteral("frmAbout"));
    SetStringId(this, kStrAbout);
    setWindowTitle(QStringLiteral("About"));
    setFont(ProgramFont());
    setFixedSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));

    AddFilledRect(this, "shpHeaderBackground", TwipsRect(0, 0, 6225, 780), Qt::white);

    lblAppName = AddFittedLabel(this, "lblAppName", QStringLiteral("AppName"),
                                TwipsRect(960, 210, 1065, 270));
    lblAppName->setFont(BoldProgramFont(11.25));
    lblAppName->adjustSize();

    imgIcon = Place(new QLabel(this), "imgIcon", TwipsRect(240, 120, 480, 480));

    lblVersion = AddFittedLabel(this, "lblVersion", QStringLiteral("v1.0.0"),
                                TwipsRect(5640, 480, 390, 150));
    SetStringId(lblVersion, kNoStringId);
    lblVersion->setFont(BoldProgramFont(6));
    SetColour(lblVersion, QPalette::WindowText, GrayText(palette()));
    lblVersion->adjustSize();

    AddHorizontalLine(this, "linCopyright", 90, 6090, 1470);
    AddHorizontalLine(this, "linShadow", 0, 6225, 735);

    lblDescription = AddFittedLabel(this, "lblDescription", QStringLiteral("Descr"),
                                    TwipsRect(240, 960, 405, 195));
    SetStringId(lblDescription, kStrAboutDescription);

    // Opaque, so that its background interrupts linCopyright behind the text.
    lblCopyright = AddFittedLabel(this, "lblCopyright", QStringLiteral("  Copyright  "),
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
