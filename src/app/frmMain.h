#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "search/BuildFiles.h"
#include "search/SearchQuery.h"

class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;

namespace gapwell {

class clsHexBox;
struct RangePointers;

// The main window. Its controls carry their design names as object names, their string ids as
// the dynamic property "tag" (menu items: "helpContextId"), and keep their design positions.
// Loading the window (the constructor) registers it among the loaded windows through
// OwnSingleWindow, like every other window, and runs Form_Load; closing it runs Form_Unload.
class frmMain : public QMainWindow {
    Q_OBJECT

  public:
    // `releasedOnUnload`: destroyed once a close of it is accepted, as the program's own window
    // is (Main); a window that its creator holds is not.
    explicit frmMain(QWidget* parent = nullptr, bool releasedOnUnload = false);

    // True when some loaded window's object name contains `formName` (case-sensitive).
    bool IsOpen(const QString& formName);
    void mnuExit_Click();

    // Search commands and the control states (frmMainSearch.cpp).
    void cmdSearch_Click();
    void cmdFindNext_Click();
    void mnuSearch_Click();
    void mnuFindNext_Click();
    void DisableControls();
    void EnableControls();

    // Option fields and the hex/decimal converter (frmMainOptions.cpp).
    void txtByteType_LostFocus();
    void txtNeededBytes_Change();
    void txtNeededBytes_LostFocus();
    void txtSearchInterval_Change();
    void txtSearchInterval_LostFocus();
    void txtOffset_Change();
    void optOffset_Click(int index);
    void txtHex_Change();
    void txtDec_Change();

    // Opening a ROM (frmMainOpen.cpp).
    void mnuOpen_Click();
    void CheckCommandLine();
    // The extension of a path in lower case, or "" when its last "." is followed by a "/".
    static std::string GetExtension(const std::string& path);

    // Known data from the build's files for the open ROM (frmMainKnown.cpp): File, "Open build
    // symbols..." or a drop adds the marks of a symbol file, linker map or ELF file; Search, Find
    // next and the map skip them. Returns whether the file was read.
    void mnuOpenSymbols_Click();
    bool LoadBuildSymbols(const std::string& path);

    // Copying a result (frmMainCopy.cpp) and the About window (frmMain.cpp).
    void SafeClipboardSet(const std::string& text);
    void cmdCopy_Click();
    void mnuCopy_Click();
    void lstResult_DblClick();
    void mnuAbout_Click();
    // The free-space map of the current ROM (frmMainMap.cpp).
    void mnuFreeSpaceMap_Click();

    // The Live Update menu, the automatic check and the timer that shows a found update
    // (frmMainUpdate.cpp).
    void UpdateCheck();
    void mnuLiveUpdate_Click();
    void mnuCheckNow_Click();
    void mnuAutomaticallyCheck_Click();
    void tmrShowUpdate_Timer();

    // Controls, as created from the design (public like the controls of any loaded window, so
    // that other windows and modules can reach them).
    QGroupBox* fraOptions = nullptr;
    QWidget* Picture1 = nullptr;
    QLabel* lblFreeSpace = nullptr;
    QLineEdit* txtByteType = nullptr;
    QLabel* lblNeededBytes = nullptr;
    QLineEdit* txtNeededBytes = nullptr;
    QLabel* lblSearchInterval = nullptr;
    QLineEdit* txtSearchInterval = nullptr;
    // optOffset[1] searches from the beginning of the ROM, optOffset[0] from txtOffset.
    std::array<QRadioButton*, 2> optOffset{};
    QLineEdit* txtOffset = nullptr;
    QLabel* Label6 = nullptr;
    QListWidget* lstResult = nullptr;
    QPushButton* cmdSearch = nullptr;
    QPushButton* cmdFindNext = nullptr;
    QPushButton* cmdCopy = nullptr;
    QGroupBox* fraHex = nullptr;
    QWidget* Picture2 = nullptr;
    QLabel* lblDec = nullptr;
    QLineEdit* txtDec = nullptr;
    QLabel* lblHex = nullptr;
    QLineEdit* txtHex = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* lblGameCode = nullptr;
    // How many marks of known data are loaded; hidden when none.
    QLabel* lblKnownData = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* lblCopyright = nullptr;
    QTimer* tmrShowUpdate = nullptr;

    // Menus. A submenu's item is its menuAction().
    QMenu* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuOpenSymbols = nullptr;
    QAction* mnuSep1 = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuSearch = nullptr;
    QAction* mnuFindNext = nullptr;
    QAction* mnuSep2 = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuFreeSpaceMap = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuSep3 = nullptr;
    QMenu* mnuLiveUpdate = nullptr;
    QAction* mnuCheckNow = nullptr;
    QAction* mnuAutomaticallyCheck = nullptr;

    // Full path of the current ROM; empty until a ROM is chosen.
    std::string m_FileName;
    // Set when m_FileName came from the command line or a drop: the next "Open ROM..." takes it
    // without showing the dialog.
    bool m_FromCommandLine = false;
    // The marks of known data loaded for the current ROM; cleared when a ROM is opened.
    std::vector<KnownMark> m_KnownMarks;
    // The options of the last Search or Find next and its last result, the base of the next
    // Find next: 0 at first, and kept when the list is cleared.
    SearchQuery searchQuery;

  private:
    // Window construction from the design (frmMainLayout.cpp).
    void CreateControls();
    void CreateMenus();
    void SetTabOrder();
    void SetWindowFrame();
    // Sizes the window to the client area below the menu bar as high as its texts make it, and
    // centres it on the screen.
    void FitToMenuBar();
    // Connects the controls' events to their handlers (frmMainEvents.cpp).
    void ConnectEvents();

    void Form_Load();
    void Form_Unload();
    void closeEvent(QCloseEvent* event) override;
    // A ROM file dropped on the window opens like one named on the command line.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // The search fields as search options (frmMainSearch.cpp), shared by Search and the
    // free-space map.
    SearchOptions ReadSearchFields() const;
    // Search or Find next through a search session; the window shows what it returns.
    void DoSearch(bool findNext);
    // Gives a result that a word points at exactly a warning mark and a tooltip naming the
    // pointers and counting the words that point into its `needed` bytes (frmMainPointers.cpp).
    static void ShowPointerMark(QListWidgetItem* item, std::int64_t needed,
                                const RangePointers& references);
    // The row of the result list's selected item; -1 when none is selected. The list's current
    // row is no substitute: Ctrl+click takes the selection away and leaves the current row.
    int SelectedResultRow() const;
    // The rule that the two count fields share.
    static void LimitCount(QLineEdit* countBox);
    // The converter: `target` empty for an empty `source`, else what `convert` makes of its text
    // (kept as it was when that is nothing); the echo of that write is ignored.
    void ConvertInto(const QLineEdit* source, QLineEdit* target,
                     std::optional<QString> (*convert)(const QString&));
    // Makes `path` the current ROM and opens it when it names an existing .gba, .agb or .bin
    // file; returns whether it did.
    bool OpenRomFromPath(const std::string& path);
    // Shows how many marks are loaded beside the game code.
    void ShowKnownCount();
    // The game code alone in the middle of its frame, or with the count of marks under it
    // (frmMainLayout.cpp).
    void PlaceKnownCount(bool shown);

    clsHexBox* byteTypeHexBox_ = nullptr;
    clsHexBox* offsetHexBox_ = nullptr;
    clsHexBox* converterHexBox_ = nullptr;
    // Set while one converter box writes into the other, so that the echo is ignored.
    bool converting_ = false;
};

}  // namespace gapwell
