#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/frmMain.h"
#include "ui/EventHook.h"

namespace gapwell {

// Which event of which control, menu item or timer runs which handler of the window.
void frmMain::ConnectEvents() {
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);

    connect(cmdSearch, &QPushButton::clicked, this, &frmMain::cmdSearch_Click);
    connect(cmdFindNext, &QPushButton::clicked, this, &frmMain::cmdFindNext_Click);
    connect(mnuSearch, &QAction::triggered, this, &frmMain::mnuSearch_Click);
    connect(mnuFindNext, &QAction::triggered, this, &frmMain::mnuFindNext_Click);

    ConnectLostFocus(txtByteType, [this] { txtByteType_LostFocus(); });
    connect(txtNeededBytes, &QLineEdit::textChanged, this, &frmMain::txtNeededBytes_Change);
    ConnectLostFocus(txtNeededBytes, [this] { txtNeededBytes_LostFocus(); });
    connect(txtSearchInterval, &QLineEdit::textChanged, this, &frmMain::txtSearchInterval_Change);
    ConnectLostFocus(txtSearchInterval, [this] { txtSearchInterval_LostFocus(); });
    connect(txtOffset, &QLineEdit::textChanged, this, &frmMain::txtOffset_Change);
    // An option button reacts when it becomes the chosen one; clicking the chosen one again
    // changes nothing.
    for (int index = 0; index < int(optOffset.size()); ++index) {
        connect(optOffset[index], &QRadioButton::toggled, this, [this, index](bool checked) {
            if (checked) {
                optOffset_Click(index);
            }
        });
    }
    connect(txtHex, &QLineEdit::textChanged, this, &frmMain::txtHex_Change);
    connect(txtDec, &QLineEdit::textChanged, this, &frmMain::txtDec_Change);

    connect(mnuOpen, &QAction::triggered, this, &frmMain::mnuOpen_Click);
    connect(mnuOpenSymbols, &QAction::triggered, this, &frmMain::mnuOpenSymbols_Click);
    setAcceptDrops(true);

    connect(cmdCopy, &QPushButton::clicked, this, &frmMain::cmdCopy_Click);
    connect(mnuCopy, &QAction::triggered, this, &frmMain::mnuCopy_Click);
    ConnectEvent(lstResult->viewport(), QEvent::MouseButtonDblClick,
                 [this] { lstResult_DblClick(); });

    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
    connect(mnuFreeSpaceMap, &QAction::triggered, this, &frmMain::mnuFreeSpaceMap_Click);

    connect(mnuLiveUpdate, &QMenu::aboutToShow, this, &frmMain::mnuLiveUpdate_Click);
    connect(mnuCheckNow, &QAction::triggered, this, &frmMain::mnuCheckNow_Click);
    connect(mnuAutomaticallyCheck, &QAction::triggered, this,
            &frmMain::mnuAutomaticallyCheck_Click);
    connect(tmrShowUpdate, &QTimer::timeout, this, &frmMain::tmrShowUpdate_Timer);

    // Like the classic edit boxes they stand for, the text boxes take no dropped text: a file
    // dropped on them goes to the window.
    for (QLineEdit* box :
         {txtByteType, txtNeededBytes, txtSearchInterval, txtOffset, txtDec, txtHex}) {
        box->setAcceptDrops(false);
    }
}

}  // namespace gapwell
