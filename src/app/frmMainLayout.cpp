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
#include "ui/LayoutHelpers.h"

namespace gapwell {

namespace {

constexpr int kClientWidth = 497;
constexpr int kClientHeight = 353;
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

QGroupBox* AddFrame(QWidget* parent, const char* name, const QString& title, const QRect& area) {
    return Place(new QGroupBox(title, parent), name, area);
}

// A picture box used only as a container of other controls.
QWidget* AddContainer(QWidget* parent, const char* name, const QRect& area) {
    return Place(new QWidget(parent), name, area);
}

QLineEdit* AddTextBox(QWidget* parent, const char* name, const QString& text, int maxLength,
                      const QRect& area) {
    auto* box = Place(new QLineEdit(text, parent), name, area);
    box->setMaxLength(maxLength);
    return box;
}

// Not auto-default: taking the focus does not make the button the default one.
QPushButton* AddCommandButton(QWidget* parent, const char* name, const QString& text,
                              const QRect& area) {
    QPushButton* button = AddButton(parent, name, text, area);
    button->setAutoDefault(false);
    return button;
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
    setFont(ProgramFont());

    auto* client = new BannerBackground(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    fraOptions =
        AddFrame(client, "fraOptions", QStringLiteral("Search Options"), QRect(8, 104, 241, 201));
    SetStringId(fraOptions, kStrSearchOptions);
    Picture1 = AddContainer(fraOptions, "Picture1", QRect(16, 24, 217, 161));
    lblFreeSpace = AddLabel(Picture1, "lblFreeSpace", QStringLiteral("Free Space Byte"),
                            QRect(0, 2, kLabelWidth, 13));
    SetStringId(lblFreeSpace, kStrFreeSpaceByte);
    txtByteType =
        AddTextBox(Picture1, "txtByteType", QStringLiteral("FF"), 2, QRect(144, 0, 25, 19));
    lblNeededBytes = AddLabel(Picture1, "lblNeededBytes", QStringLiteral("Needed Bytes"),
                              QRect(0, 30, kLabelWidth, 13));
    SetStringId(lblNeededBytes, kStrNeededBytes);
    txtNeededBytes =
        AddTextBox(Picture1, "txtNeededBytes", QStringLiteral("256"), 5, QRect(144, 29, 65, 19));
    lblSearchInterval = AddLabel(Picture1, "lblSearchInterval", QStringLiteral("Skip Interval"),
                                 QRect(0, 59, kLabelWidth, 13));
    SetStringId(lblSearchInterval, kStrSkipInterval);
    txtSearchInterval =
        AddTextBox(Picture1, "txtSearchInterval", QStringLiteral("16"), 5, QRect(144, 58, 65, 19));
    optOffset[1] =
        Place(new QRadioButton(QStringLiteral("Search from the beginning of the ROM"), Picture1),
              "optOffset(1)", QRect(0, 88, 209, 13));
    SetStringId(optOffset[1], kStrSearchFromBeginning);
    optOffset[0] = Place(new QRadioButton(QStringLiteral("Search from offset"), Picture1),
                         "optOffset(0)", QRect(0, 103, 137, 29));
    SetStringId(optOffset[0], kStrSearchFromOffset);
    optOffset[0]->setChecked(true);
    txtOffset = AddTextBox(Picture1, "txtOffset", QString(), 6, QRect(144, 108, 65, 19));
    Label6 = AddLabel(Picture1, "Label6", QStringLiteral("NOTE: All offsets are in hexadecimal"),
                      QRect(0, 144, 217, 13));
    SetStringId(Label6, kStrNoteHexadecimal);
    const std::initializer_list<QWidget*> disabledByDesign = {
        lblFreeSpace,      txtByteType,  lblNeededBytes, txtNeededBytes, lblSearchInterval,
        txtSearchInterval, optOffset[1], optOffset[0],   txtOffset};
    for (QWidget* control : disabledByDesign) {
        control->setEnabled(false);
    }

    lstResult = Place(new QListWidget(client), "lstResult", QRect(264, 112, 105, 147));
    lstResult->setSelectionMode(QAbstractItemView::SingleSelection);
    lstResult->setSortingEnabled(false);
    // Its tag "0" names no string id: the list has no text of its own to localize.
    lstResult->setProperty("tag", QStringLiteral("0"));

    cmdSearch =
        AddCommandButton(client, "cmdSearch", QStringLiteral("Search"), QRect(384, 112, 105, 23));
    SetStringId(cmdSearch, kStrSearch);
    cmdFindNext = AddCommandButton(client, "cmdFindNext", QStringLiteral("Find next"),
                                   QRect(384, 140, 105, 23));
    SetStringId(cmdFindNext, kStrFindNext);
    cmdCopy = AddCommandButton(client, "cmdCopy", QStringLiteral("Copy"), QRect(384, 168, 105, 22));
    SetStringId(cmdCopy, kStrCopy);
    cmdSearch->setEnabled(false);
    cmdFindNext->setEnabled(false);
    cmdCopy->setEnabled(false);

    fraHex = AddFrame(client, "fraHex", QStringLiteral("Dec / Hex"), QRect(384, 200, 103, 105));
    Picture2 = AddContainer(fraHex, "Picture2", QRect(8, 16, 81, 81));
    KeepBelowCaption(fraHex, Picture2);
    lblDec = AddLabel(Picture2, "lblDec", QStringLiteral("Dec"), QRect(8, 0, 18, 13));
    txtDec = AddTextBox(Picture2, "txtDec", QString(), 8, QRect(8, 16, 65, 19));
    lblHex = AddLabel(Picture2, "lblHex", QStringLiteral("Hex"), QRect(8, 40, 19, 13));
    txtHex = AddTextBox(Picture2, "txtHex", QString(), 7, QRect(8, 56, 65, 19));

    Frame2 = AddFrame(client, "Frame2", QString(), QRect(264, 264, 105, 41));
    // Wider than the classic 57 px, up to the frame's border: "ROM: " and a four-letter game
    // code of wide letters would otherwise be cut off.
    lblGameCode =
        AddLabel(Frame2, "lblGameCode", QStringLiteral("ROM: None"), QRect(24, 16, 77, 13));
    // Under the game code, shown only while build symbols are loaded (see PlaceKnownCount).
    lblKnownData = AddLabel(Frame2, "lblKnownData", QString(), QRect(24, 22, 77, 13));
    lblKnownData->hide();

    Frame1 = AddFrame(client, "Frame1", QString(), QRect(8, 312, 481, 33));
    // Where MS Sans Serif exists only as fixed-size bitmaps, or not at all, Localize gives the
    // frame the window's face instead (UseScalableFaces).
    QFont frame1Font(QStringLiteral("MS Sans Serif"));
    frame1Font.setPointSizeF(kProgramFontPoints);
    Frame1->setFont(frame1Font);
    lblCopyright = AddLabel(Frame1, "lblCopyright", QString(), QRect(173, 13, 300, 13));

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

void frmMain::PlaceKnownCount(bool shown) {
    // The frame holds two lines only with the game code moved up from its place in the middle.
    lblGameCode->move(lblGameCode->x(), shown ? 9 : 16);
    lblKnownData->setVisible(shown);
}

void frmMain::CreateMenus() {
    mnuFile = NewMenu(this, "mnuFile", QStringLiteral("File"), kStrMenuFile);
    mnuOpen =
        NewMenuItem(mnuFile, "mnuOpen", QStringLiteral("Open ROM..."), kStrMenuOpenRom, "Ctrl+O");
    mnuOpenSymbols = NewMenuItem(mnuFile, "mnuOpenSymbols", QStringLiteral("Open build symbols..."),
                                 kStrMenuOpenBuildSymbols);
    mnuOpenSymbols->setEnabled(false);
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
