// Controls of the Live Update wizard. Positions are designed in twips; at 96 dots per inch 15
// twips make one pixel. The three step frames share one rectangle below the banner.

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "services/modLocalizedIDs.h"
#include "updatewindow/frmUpdate.h"

namespace gapwell {

namespace {

constexpr int kTwipsPerPixel = 15;
const QString kBannerPath = QStringLiteral(":/update/banner.png");
const QSize kBannerSize(399, 62);
constexpr int kRowHeightTwips = 255;

int Pixels(int twips) {
    return twips / kTwipsPerPixel;
}

QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
}

QFont TahomaFont(bool italic) {
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);  // used when Tahoma is not installed
    font.setPointSizeF(8.25);
    font.setItalic(italic);
    return font;
}

// `id` is the string id Localize replaces the text with; 0 for texts the wizard sets itself.
QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int id, const QRect& area,
                 bool wordWrap = false) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setProperty("tag", QString::number(id));
    label->setGeometry(area);
    label->setWordWrap(wordWrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// The labels that size themselves to their text keep at least the height of a text row: the
// font's line height leaves descenders and slashes a pixel short.
void KeepRowHeight(QLabel* label) {
    label->setMinimumHeight(Pixels(kRowHeightTwips));
    label->adjustSize();
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& text, int id,
                       const QRect& area) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setProperty("tag", QString::number(id));
    button->setGeometry(area);
    return button;
}

QGroupBox* AddFrame(QWidget* parent, int index, const QString& text, int id) {
    auto* frame = new QGroupBox(text, parent);
    frame->setObjectName(QStringLiteral("fraFrame(%1)").arg(index));
    frame->setProperty("tag", QString::number(id));
    frame->setGeometry(TwipsRect(120, 1080, 5775, 2055));
    frame->setVisible(index == 0);
    return frame;
}

// Any picture of the banner's size serves: the main window's banner, cut to the wizard's width.
QPixmap BannerPicture() {
    QPixmap picture(kBannerPath);
    if (picture.isNull()) {
        return picture;
    }
    const QPixmap wide = picture.scaledToWidth(kBannerSize.width(), Qt::SmoothTransformation);
    return wide.copy(0, (wide.height() - kBannerSize.height()) / 2, kBannerSize.width(),
                     kBannerSize.height());
}

}  // namespace

void frmUpdate::BuildControls() {
    setObjectName(QStringLiteral("frmUpdate"));
    setProperty("tag", QString::number(kStrLiveUpdate));
    setWindowTitle(QStringLiteral("Live Update"));
    setFont(TahomaFont(false));
    setFixedSize(Pixels(5985), Pixels(3660));

    auto* banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("imgBanner"));
    banner->setGeometry(QRect(QPoint(0, 0), kBannerSize));
    banner->setPixmap(BannerPicture());

    fraFrame[0] = AddFrame(this, 0, QStringLiteral("Step 1 of 3"), kStrStep1Of3);
    lblStep1 = AddLabel(fraFrame[0], "lblStep1",
                        QStringLiteral("Welcome to the Live Update. This wizard will walk you "
                                       "through checking for new updates of this program by "
                                       "connecting to the web and comparing version information. "
                                       "No data will be sent to the host site."),
                        kStrWelcome, TwipsRect(120, 300, 5535, 1020), true);
    lblNext = AddLabel(fraFrame[0], "lblNext",
                       QStringLiteral("Click Next to continue with the Live Update process."),
                       kStrClickNext, TwipsRect(120, 1560, 5535, 390), true);

    fraFrame[1] = AddFrame(this, 1, QStringLiteral("Step 2 of 3"), kStrStep2Of3);
    lblStep2 = AddLabel(fraFrame[1], "lblStep2",
                        QStringLiteral("Connecting to host site and retrieving version "
                                       "information..."),
                        kStrConnecting, TwipsRect(120, 300, 5535, 360), true);
    lblStep2->setFont(TahomaFont(true));
    lblProgress =
        AddLabel(fraFrame[1], "lblProgress", QString(), 0, TwipsRect(120, 660, 5535, 255));
    lblThisVersion = AddLabel(fraFrame[1], "lblThisVersion", QStringLiteral("  "), 0,
                              TwipsRect(120, 1020, 0, 0));
    KeepRowHeight(lblThisVersion);
    lblNewestVersion = AddLabel(fraFrame[1], "lblNewestVersion", QStringLiteral("  "), 0,
                                TwipsRect(2640, 1020, 0, 0));
    KeepRowHeight(lblNewestVersion);
    lblNo =
        AddLabel(fraFrame[1], "lblNo", QStringLiteral("No update available. Click Cancel to exit."),
                 kStrNoUpdate, TwipsRect(120, 1440, 5535, 450), true);
    lblNo->hide();
    lblYes = AddLabel(fraFrame[1], "lblYes",
                      QStringLiteral("A new update is available, click Next to download it or "
                                     "click Cancel to exit."),
                      kStrUpdateAvailable, TwipsRect(120, 1440, 5535, 450), true);
    lblYes->hide();

    fraFrame[2] = AddFrame(this, 2, QStringLiteral("Step 3 of 3"), kStrStep3Of3);
    lblDownloading =
        AddLabel(fraFrame[2], "lblDownloading", QStringLiteral("Downloading update..."),
                 kStrDownloadingUpdate, TwipsRect(120, 300, 5535, 360), true);
    lblDownloading->setFont(TahomaFont(true));
    lblDestination = AddLabel(fraFrame[2], "lblDestination", QStringLiteral("Destination:"),
                              kStrDestination, TwipsRect(120, 720, 1095, 255));
    lblArchivePath = AddLabel(fraFrame[2], "lblArchivePath", QStringLiteral("  "), 0,
                              TwipsRect(1260, 720, 0, 0));
    KeepRowHeight(lblArchivePath);
    lblProgressUpdate =
        AddLabel(fraFrame[2], "lblProgressUpdate", QString(), 0, TwipsRect(120, 1260, 5535, 255));

    cmdCancel = AddButton(this, "cmdCancel", QStringLiteral("Cancel"), kStrCancel,
                          TwipsRect(3360, 3240, 1215, 345));
    cmdNext = AddButton(this, "cmdNext", QStringLiteral("Next"), kStrNext,
                        TwipsRect(4680, 3240, 1215, 345));
    setTabOrder(cmdNext, cmdCancel);
    cmdNext->setFocus();
}

}  // namespace gapwell
