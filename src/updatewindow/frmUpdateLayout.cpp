// Controls of the Live Update wizard. Positions are designed in twips. The three step frames share
// one rectangle below the banner.

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "services/modLocalizedIDs.h"
#include "ui/LayoutHelpers.h"
#include "updatewindow/frmUpdate.h"

namespace gapwell {

namespace {

const QString kBannerPath = QStringLiteral(":/update/banner.png");
const QSize kBannerSize(399, 62);
constexpr int kRowHeightTwips = 255;

QFont ItalicProgramFont() {
    QFont font = ProgramFont();
    font.setItalic(true);
    return font;
}

// `id` is the string id Localize replaces the text with; kNoStringId for texts the wizard sets
// itself.
QLabel* AddStepLabel(QWidget* parent, const char* name, const QString& text, int id,
                     const QRect& area, bool wordWrap = false) {
    QLabel* label = AddLabel(parent, name, text, area);
    SetStringId(label, id);
    label->setWordWrap(wordWrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// The labels that size themselves to their text keep at least the height of a text row: the
// font's line height leaves descenders and slashes a pixel short.
void KeepRowHeight(QLabel* label) {
    label->setMinimumHeight(TwipsToPixels(kRowHeightTwips));
    label->adjustSize();
}

QGroupBox* AddFrame(QWidget* parent, int index, const QString& text, int id) {
    auto* frame = new QGroupBox(text, parent);
    frame->setObjectName(QStringLiteral("fraFrame(%1)").arg(index));
    SetStringId(frame, id);
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
    SetStringId(this, kStrLiveUpdate);
    setWindowTitle(QStringLiteral("Live Update"));
    setFont(ProgramFont());
    setFixedSize(TwipsToPixels(5985), TwipsToPixels(3660));

    auto* banner = Place(new QLabel(this), "imgBanner", QRect(QPoint(0, 0), kBannerSize));
    banner->setPixmap(BannerPicture());

    fraFrame[0] = AddFrame(this, 0, QStringLiteral("Step 1 of 3"), kStrStep1Of3);
    lblStep1 =
        AddStepLabel(fraFrame[0], "lblStep1",
                     QStringLiteral("Welcome to the Live Update. This wizard will walk you "
                                    "through checking for new updates of this program by "
                                    "connecting to the web and comparing version information. "
                                    "No data will be sent to the host site."),
                     kStrWelcome, TwipsRect(120, 300, 5535, 1020), true);
    lblNext = AddStepLabel(fraFrame[0], "lblNext",
                           QStringLiteral("Click Next to continue with the Live Update process."),
                           kStrClickNext, TwipsRect(120, 1560, 5535, 390), true);

    fraFrame[1] = AddFrame(this, 1, QStringLiteral("Step 2 of 3"), kStrStep2Of3);
    lblStep2 = AddStepLabel(fraFrame[1], "lblStep2",
                            QStringLiteral("Connecting to host site and retrieving version "
                                           "information..."),
                            kStrConnecting, TwipsRect(120, 300, 5535, 360), true);
    lblStep2->setFont(ItalicProgramFont());
    lblProgress = AddStepLabel(fraFrame[1], "lblProgress", QString(), kNoStringId,
                               TwipsRect(120, 660, 5535, 255));
    lblThisVersion = AddStepLabel(fraFrame[1], "lblThisVersion", QStringLiteral("  "), kNoStringId,
                                  TwipsRect(120, 1020, 0, 0));
    KeepRowHeight(lblThisVersion);
    lblNewestVersion = AddStepLabel(fraFrame[1], "lblNewestVersion", QStringLiteral("  "),
                                    kNoStringId, TwipsRect(2640, 1020, 0, 0));
    KeepRowHeight(lblNewestVersion);
    lblNo = AddStepLabel(fraFrame[1], "lblNo",
                         QStringLiteral("No update available. Click Cancel to exit."), kStrNoUpdate,
                         TwipsRect(120, 1440, 5535, 450), true);
    lblNo->hide();
    lblYes = AddStepLabel(fraFrame[1], "lblYes",
                          QStringLiteral("A new update is available, click Next to download it or "
                                         "click Cancel to exit."),
                          kStrUpdateAvailable, TwipsRect(120, 1440, 5535, 450), true);
    lblYes->hide();
    BuildNotesControls();

    fraFrame[2] = AddFrame(this, 2, QStringLiteral("Step 3 of 3"), kStrStep3Of3);
    lblDownloading =
        AddStepLabel(fraFrame[2], "lblDownloading", QStringLiteral("Downloading update..."),
                     kStrDownloadingUpdate, TwipsRect(120, 300, 5535, 360), true);
    lblDownloading->setFont(ItalicProgramFont());
    lblDestination = AddStepLabel(fraFrame[2], "lblDestination", QStringLiteral("Destination:"),
                                  kStrDestination, TwipsRect(120, 720, 1095, 255));
    lblArchivePath = AddStepLabel(fraFrame[2], "lblArchivePath", QStringLiteral("  "), kNoStringId,
                                  TwipsRect(1260, 720, 0, 0));
    KeepRowHeight(lblArchivePath);
    lblProgressUpdate = AddStepLabel(fraFrame[2], "lblProgressUpdate", QString(), kNoStringId,
                                     TwipsRect(120, 1260, 5535, 255));

    cmdCancel =
        AddButton(this, "cmdCancel", QStringLiteral("Cancel"), TwipsRect(3360, 3240, 1215, 345));
    SetStringId(cmdCancel, kStrCancel);
    cmdNext = AddButton(this, "cmdNext", QStringLiteral("Next"), TwipsRect(4680, 3240, 1215, 345));
    SetStringId(cmdNext, kStrNext);
    BuildSkipButton();
    setTabOrder(cmdNext, cmdCancel);
    cmdNext->setFocus();
}

}  // namespace gapwell
