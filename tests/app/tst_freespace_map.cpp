// The free-space map as the main window opens it: the menu entry follows the ROM, the totals
// follow the option fields, and a click on a usable run searches there.

#include <QLabel>
#include <QRadioButton>

#include "SearchWindowTesting.h"
#include "mapwindow/FreeSpaceMapView.h"
#include "mapwindow/frmFreeSpaceMap.h"

using gapwell::frmFreeSpaceMap;
using gapwell::frmMain;
using namespace searchwindow;

class TestFreeSpaceMap : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir folder_;
    gapwell::FakePlatform platform_;
    // 256 KiB of 0x11 whose only 0xFF bytes are 0x200 of them at 0x12340.
    QString runRom_;

    static frmFreeSpaceMap* MapWindow() {
        frmFreeSpaceMap* found = nullptr;
        for (QWidget* form : gapwell::LoadedForms::All()) {
            if (auto* map = qobject_cast<frmFreeSpaceMap*>(form)) {
                if (found != nullptr) {
                    qFatal("two map windows are loaded");
                }
                found = map;
            }
        }
        return found;
    }

  private slots:
    void initTestCase() {
        platform_.programFolder = folder_.path().toStdString();
        gapwell::SetCurrentPlatform(&platform_);
        runRom_ = WriteRom(folder_, QStringLiteral("run.gba"), 0x40000, 0x12340, 0x200);
    }

    void cleanup() {
        if (frmFreeSpaceMap* map = MapWindow()) {
            map->close();
        }
        UnloadAll();
    }

    void theMenuEntryFollowsTheRom() {
        auto window = ShowWindow();
        QVERIFY(!window->mnuFreeSpaceMap->isEnabled());
        OpenRom(*window, platform_, runRom_);
        QVERIFY(window->mnuFreeSpaceMap->isEnabled());
        QCOMPARE(window->mnuFreeSpaceMap->shortcut(), QKeySequence(QStringLiteral("Ctrl+M")));
    }

    void theTotalsFollowTheOptionFields() {
        auto window = ShowWindow();
        OpenRom(*window, platform_, runRom_);
        window->mnuFreeSpaceMap->trigger();
        window->mnuFreeSpaceMap->trigger();
        frmFreeSpaceMap* map = MapWindow();
        QVERIFY(map != nullptr);
        QCOMPARE(map->parentWidget(), window.get());
        QCOMPARE(map->lblTotals->text(),
                 QStringLiteral("Usable runs: 1 · usable bytes: 512 (0.2% of the ROM) · "
                                "largest run: 512 bytes at 12340"));

        Retype(window->txtNeededBytes, QStringLiteral("513"));
        QCOMPARE(map->lblTotals->text(), QStringLiteral("No filler run of 513 bytes or more."));

        // The data's byte: the runs before and after the 0xFF bytes are usable, the one before
        // the game code is too short.
        Retype(window->txtByteType, QStringLiteral("11"));
        QCOMPARE(map->lblTotals->text(),
                 QStringLiteral("Usable runs: 2 · usable bytes: 261456 (99.7% of the ROM) · "
                                "largest run: 187072 bytes at 12540"));
    }

    void clickingAUsableRunSearchesFromItsStart() {
        auto window = ShowWindow();
        OpenRom(*window, platform_, runRom_);
        QTest::mouseClick(window->optOffset[1], Qt::LeftButton);
        window->mnuFreeSpaceMap->trigger();
        gapwell::FreeSpaceMapView* view = MapWindow()->picMap;
        QTest::mouseClick(view, Qt::LeftButton, {}, view->CellRect(0x12440).center());
        QVERIFY(window->optOffset[0]->isChecked());
        QCOMPARE(window->txtOffset->text(), QStringLiteral("12340"));
        QCOMPARE(Items(window->lstResult), QStringList{QStringLiteral("12340")});
        QVERIFY(Messages(platform_).isEmpty());
    }

    // Search never reports offset 0: a run there is searched from offset 1.
    void aRunAtOffsetZeroIsSearchedFromOne() {
        const QString zeroRom = WriteRom(folder_, QStringLiteral("zero.gba"), 0x10000, 0, 0x80);
        auto window = ShowWindow();
        OpenRom(*window, platform_, zeroRom);
        Retype(window->txtNeededBytes, QStringLiteral("100"));
        window->mnuFreeSpaceMap->trigger();
        gapwell::FreeSpaceMapView* view = MapWindow()->picMap;
        QTest::mouseClick(view, Qt::LeftButton, {}, view->CellRect(0).center());
        QCOMPARE(Items(window->lstResult), QStringList{QStringLiteral("1")});
    }
};

QTEST_MAIN(TestFreeSpaceMap)
#include "tst_freespace_map.moc"
