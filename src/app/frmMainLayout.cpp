// Builds the main window from its design: controls, positions, texts, states, string ids, menus
// and the tab order. The behaviour behind the controls lives in the other frmMain*.cpp files.
#include <QAction>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include "app/frmMain.h"
#include "services/modLocalizedIDs.h"
#include "ui/FrameLayout.h"

namespace gapwell {

namespace {

constexpr int kClientWidth = 497;
constexpr int kClientHeight = 353;
constexpr double kWindowFontPoints = 8.25;
// The option labels reach up to their text boxes (the classic widths fit only the English texts
// at 96 dots per inch; the texts are left-aligned, so the look stays).
constexpr int kLabelWidth = 140;

// The window's client area: the banner picture is its background and fills the top.
class BannerBackground : public QWidget {
  public:
    explicit BannerBackground(QWidget* parent)
        : QWidget(parent), banner_(QStringLiteral(":/banner.png")) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawPixmap(0, 0, banner_);
    }

  private:
    QPixmap banner_;
};

template <typename Control>
Control* Place(Control* control, const char* name, int left, int top, int width, int height) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(left, top, width, height);
    return control;
}

QGroupBox* NewFrame(QWidget* parent, const char* name, const QString& title, int left, int top,
                    int width, int height) {
    return Place(new QGroupBox(title, parent), name, left, top, width, height);
}

// A picture box used only as a container of other controls.
QWidget* NewContainer(QWidget* parent, const char* name, int left, int top, int width, int height) {
    return Place(new QWidget(parent), name, left, top, width, height);
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                 int width, int height) {
    return Place(new QLabel(text, parent), name, left, top, width, height);
}

QLineEdit* NewTextBox(QWidget* parent, const char* name, const QString& text, int maxLength,
                      int left, int top, int width, int height) {
    auto* box = Place(new QLineEdit(text, parent), name, left, top, width, height);
    box->setMaxLength(maxLength);
    return box;
}

QPushButton* NewButton(QWidget* parent, const char* name, const QString& text, int left, int top,
                       int width, int height) {
    auto* button = Place(new QPushButton(text, parent), name, left, top, width, height);
    button->setAutoDefault(false);
    return button;
}

void SetTag(QObject* control, int stringId) {
    control->setProperty("tag", QString::number(stringId));
}

QAction* NewMenuItem(QMenu* menu, const char* name, const QString& text, int helpContextId,
                     const char* shortcut = nullptr) {
    QAction* item = menu->addAction(text);
    item->setObjectName(QString::fromLatin1(name));
    item->setProperty("helpContextId", helpContextId);
    if (shortcut != nullptr) {
        item->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    }
    return item;
}

QAction* NewSeparator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromLatin1(name));
    return separator;
}

QMenu* NewMenu(QWidget* parent, const char* name, const QString& text, int helpContextId) {
    auto* menu = new QMenu(text, parent);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setProperty("helpContextId", helpContextId);
    return menu;
}

}  // namespace

void frmMain::CreateControls() {
    QFont windowFont(QStringLiteral("Tahoma"));
    windowFont.setPointSizeF(kWindowFontPoints);
    setFont(windowFont);

    auto* client = new BannerBackground(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    fraOptions = NewFrame(client, "fraOptions", QStringLiteral("Search Options"), 8, 104, 241, 201);
    SetTag(fraOptions, kStrSearchOptions);
    Picture1 = NewContainer(fraOptions, "Picture1", 16, 24, 217, 161);
    lblFreeSpace = NewLabel(Picture1, "lblFreeSpace", QStringLiteral("Free Space Byte"), 0, 2,
                            kLabelWidth, 13);
    SetTag(lblFreeSpace, kStrFreeSpaceByte);
    txtByteType = NewTextBox(Picture1, "txtByteType", QStringLiteral("FF"), 2, 144, 0, 25, 19);
    lblNeededBytes = NewLabel(Picture1, "lblNeededBytes", QStringLiteral("Needed Bytes"), 0, 30,
                              kLabelWidth, 13);
    SetTag(lblNeededBytes, kStrNeededBytes);
    txtNeededBytes =
        NewTextBox(Picture1, "txtNeededBytes", QStringLiteral("256"), 5, 144, 29, 65, 19);
    lblSearchInterval = NewLabel(Picture1, "lblSearchInterval", QStringLiteral("Skip Interval"), 0,
                                 59, kLabelWidth, 13);
    SetTag(lblSearchInterval, kStrSkipInterval);
    txtSearchInterval =
        NewTextBox(Picture1, "txtSearchInterval", QStringLiteral("16"), 5, 144, 58, 65, 19);
    optOffset[1] =
        Place(new QRadioButton(QStringLiteral("Search from the beginning of the ROM"), Picture1),
              "optOffset(1)", 0, 88, 209, 13);
    SetTag(optOffset[1], kStrSearchFromBeginning);
    optOffset[0] = Place(new QRadioButton(QStringLiteral("Search from offset"), Picture1),
                         "optOffset(0)", 0, 103, 137, 29);
    SetTag(optOffset[0], kStrSearchFromOffset);
    optOffset[0]->setChecked(true);
    txtOffset = NewTextBox(Picture1, "txtOffset", QString(), 6, 144, 108, 65, 19);
    Label6 = NewLabel(Picture1, "Label6", QStringLiteral("NOTE: All offsets are in hexadecimal"), 0,
                      144, 217, 13);
    SetTag(Label6, kStrNoteHexadecimal);
    const std::initializer_list<QWidget*> disabledByDesign = {
        lblFreeSpace,      txtByteType,  lblNeededBytes, txtNeededBytes, lblSearchInterval,
        txtSearchInterval, optOffset[1], optOffset[0],   txtOffset};
    for (QWidget* control : disabledByDesign) {
        control->setEnabled(false);
    }

    lstResult = Place(new QListWidget(client), "lstResult", 264, 112, 105, 147);
    lstResult->setSelectionMode(QAbstractItemView::SingleSelection);
    lstResult->setSortingEnabled(false);
    // The list's tag holds the last result, the base of "Find next": none yet.
    lstResult->setProperty("tag", QStringLiteral("0"));

    cmdSearch = NewButton(client, "cmdSearch", QStringLiteral("Search"), 384, 112, 105, 23);
    SetTag(cmdSearch, kStrSearch);
    cmdFindNext = NewButton(client, "cmdFindNext", QStringLiteral("Find next"), 384, 140, 105, 23);
    SetTag(cmdFindNext, kStrFindNext);
    cmdCopy = NewButton(client, "cmdCopy", QStringLiteral("Copy"), 384, 168, 105, 22);
    SetTag(cmdCopy, kStrCopy);
    cmdSearch->setEnabled(false);
    cmdFindNext->setEnabled(false);
    cmdCopy->setEnabled(false);

    fraHex = NewFrame(client, "fraHex", QStringLiteral("Dec / Hex"), 384, 200, 103, 105);
    Picture2 = NewContainer(fraHex, "Picture2", 8, 16, 81, 81);
    KeepBelowCaption(fraHex, Picture2);
    lblDec = NewLabel(Picture2, "lblDec", QStringLiteral("Dec"), 8, 0, 18, 13);
    txtDec = NewTextBox(Picture2, "txtDec", QString(), 8, 8, 16, 65, 19);
    lblHex = NewLabel(Picture2, "lblHex", QStringLiteral("Hex"), 8, 40, 19, 13);
    txtHex = NewTextBox(Picture2, "txtHex", QString(), 7, 8, 56, 65, 19);

    Frame2 = NewFrame(client, "Frame2", QString(), 264, 264, 105, 41);
    // Wider than the classic 57 px, up to the frame's border: "ROM: " and a four-letter game
    // code of wide letters would otherwise be cut off.
    lblGameCode = NewLabel(Frame2, "lblGameCode", QStringLiteral("ROM: None"), 24, 16, 77, 13);

    Frame1 = NewFrame(client, "Frame1", QString(), 8, 312, 481, 33);
    // Where MS Sans Serif exists only as fixed-size bitmaps, or not at all, Localize gives the
    // frame the window's face instead (UseScalableFaces).
    QFont frame1Font(QStringLiteral("MS Sans Serif"));
    frame1Font.setPointSizeF(kWindowFontPoints);
    Frame1->setFont(frame1Font);
    lblCopyright = NewLabel(Frame1, "lblCopyright", QString(), 173, 13, 300, 13);

    tmrShowUpdate = new QTimer(this);
    tmrShowUpdate->setObjectName(QStringLiteral("tmrShowUpdate"));
    tmrShowUpdate->setInterval(1500);
    tmrShowUpdate->setSingleShot(true);

    // Text boxes are announced by their labels; the offset box by its option button, whose text
    // Form_Load copies after localizing. Controls without a visible label get a name of their own.
    lblFreeSpace->setBuddy(txtByteType);
    lblNeededBytes->setBuddy(txtNeededBytes);
    lblSearchInterval->setBuddy(txtSearchInterval);
    lblDec->setBuddy(txtDec);
    lblHex->setBuddy(txtHex);
    lstResult->setAccessibleName(QStringLiteral("Results"));
    lblGameCode->setAccessibleName(QStringLiteral("ROM game code"));
}

void frmMain::CreateMenus() {
    mnuFile = NewMenu(this, "mnuFile", QStringLiteral("File"), kStrMenuFile);
    mnuOpen =
        NewMenuItem(mnuFile, "mnuOpen", QStringLiteral("Open ROM..."), kStrMenuOpenRom, "Ctrl+O");
    mnuSep1 = NewSeparator(mnuFile, "mnuSep1");
    mnuExit = NewMenuItem(mnuFile, "mnuExit", QStringLiteral("Exit"), kStrMenuExit, "Ctrl+Q");

    mnuEdit = NewMenu(this, "mnuEdit", QStringLiteral("Edit"), kStrMenuEdit);
    mnuSearch =
        NewMenuItem(mnuEdit, "mnuSearch", QStringLiteral("Search"), kStrMenuSearch, "Ctrl+F");
    mnuFindNext =
        NewMenuItem(mnuEdit, "mnuFindNext", QStringLiteral("Find next"), kStrMenuFindNext, "F3");
    mnuSep2 = NewSeparator(mnuEdit, "mnuSep2");
    mnuCopy = NewMenuItem(mnuEdit, "mnuCopy", QStringLiteral("Copy"), kStrMenuCopy);
    mnuFreeSpaceMap = NewMenuItem(mnuEdit, "mnuFreeSpaceMap", QStringLiteral("Free-space map..."),
                                  kStrMenuFreeSpaceMap, "Ctrl+M");
    mnuSearch->setEnabled(false);
    mnuFindNext->setEnabled(false);
    mnuCopy->setEnabled(false);
    mnuFreeSpaceMap->setEnabled(false);

    mnuHelp = NewMenu(this, "mnuHelp", QStringLiteral("Help"), kStrMenuHelp);
    mnuAbout = NewMenuItem(mnuHelp, "mnuAbout", QStringLiteral("About"), kStrMenuAbout);
    mnuSep3 = NewSeparator(mnuHelp, "mnuSep3");
    mnuLiveUpdate =
        NewMenu(mnuHelp, "mnuLiveUpdate", QStringLiteral("Live Update"), kStrLiveUpdate);
    mnuHelp->addMenu(mnuLiveUpdate);
    mnuCheckNow = NewMenuItem(mnuLiveUpdate, "mnuCheckNow", QStringLiteral("Check Now..."),
                              kStrCheckNow, "Ctrl+U");
    mnuCheckNow->setEnabled(false);
    mnuAutomaticallyCheck =
        NewMenuItem(mnuLiveUpdate, "mnuAutomaticallyCheck", QStringLiteral("Automatically Check"),
                    kStrAutomaticallyCheck);
    mnuAutomaticallyCheck->setCheckable(true);
    mnuAutomaticallyCheck->setChecked(true);

    menuBar()->addMenu(mnuFile);
    menuBar()->addMenu(mnuEdit);
    menuBar()->addMenu(mnuHelp);
}

void frmMain::SetTabOrder() {
    const std::initializer_list<QWidget*> order = {
        cmdSearch,   cmdFindNext,    lstResult,         cmdCopy,      txtDec,       txtHex,
        txtByteType, txtNeededBytes, txtSearchInterval, optOffset[1], optOffset[0], txtOffset};
    QWidget* previous = nullptr;
    for (QWidget* control : order) {
        if (previous != nullptr) {
            setTabOrder(previous, control);
        }
        previous = control;
    }
}

// Fixed size: the client area keeps its design size; the window has a minimize box but no
// maximize box. FitToMenuBar gives the window its size and opens it centred on the screen.
void frmMain::SetWindowFrame() {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    centralWidget()->setFixedSize(kClientWidth, kClientHeight);
}

void frmMain::FitToMenuBar() {
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

}  // namespace gapwell
