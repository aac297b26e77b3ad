// The free-space map as the main window opens it: the menu entry follows the ROM, the totals
// follow the option fields, and a click on a usable run searches there.

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include "SearchWindowTesting.h"
#include "mapwindow/FreeSpaceMapView.h"
#include "mapwindow/MapColours.h"
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
        const QList<frmFreeSpaceMap*> maps = gapwell::test::LoadedWindows<frmFreeSpaceMap>();
        if (maps.size() > 1) {
            qFatal("two map windows are loaded");
        }
        return maps.value(0, nullptr);
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

    // A run of exactly the needed length counts in the totals; at offset 0, where Search cannot
    // report it, a click searches nothing.
    void aRunOfExactlyTheNeededLengthAtZeroCountsButIsNotSearched() {
        const QString zeroRom = WriteRom(folder_, QStringLiteral("exact.gba"), 0x10000, 0, 0x80);
        auto window = ShowWindow();
        OpenRom(*window, platform_, zeroRom);
        Retype(window->txtNeededBytes, QStringLiteral("128"));
        window->mnuFreeSpaceMap->trigger();
        frmFreeSpaceMap* map = MapWindow();
        QVERIFY(map->lblTotals->text().startsWith(
            QStringLiteral("Usable runs: 1 · usable bytes: 128")));
        QTest::mouseClick(map->picMap, Qt::LeftButton, {}, map->picMap->CellRect(0).center());
        QVERIFY(Items(window->lstResult).isEmpty());
        QVERIFY(Messages(platform_).isEmpty());
    }

    // The alignment chosen in one map window is the next one's; totals and clicks follow it.
    void theAlignmentIsKeptAndTheClickFollowsIt() {
        const QString oddRom =
            WriteRom(folder_, QStringLiteral("odd.gba"), 0x40000, 0x12341, 0x200);
        auto window = ShowWindow();
        OpenRom(*window, platform_, oddRom);
        window->mnuFreeSpaceMap->trigger();
        QCOMPARE(MapWindow()->cboAlignment->currentText(), QStringLiteral("1"));
        MapWindow()->cboAlignment->setCurrentIndex(
            MapWindow()->cboAlignment->findText(QStringLiteral("256")));
        MapWindow()->close();
        window->mnuFreeSpaceMap->trigger();
        frmFreeSpaceMap* map = MapWindow();
        QCOMPARE(map->cboAlignment->currentText(), QStringLiteral("256"));
        QCOMPARE(map->lblTotals->text(),
                 QStringLiteral("Usable runs: 1 · usable bytes: 321 (0.1% of the ROM) · "
                                "largest run: 321 bytes at 12400"));
        QTest::mouseClick(map->picMap, Qt::LeftButton, {}, map->picMap->CellRect(0x12440).center());
        QCOMPARE(Items(window->lstResult), QStringList{QStringLiteral("12400")});
        map->cboAlignment->setCurrentIndex(0);
        QCOMPARE(map->lblTotals->text(),
                 QStringLiteral("Usable runs: 1 · usable bytes: 512 (0.2% of the ROM) · "
                                "largest run: 512 bytes at 12341"));
    }

    // A run whose first byte a word of the ROM points at is drawn in the fourth colour.
    void aRunTheRomPointsAtTakesTheFourthColour() {
        const QString rom =
            WriteRom(folder_, QStringLiteral("pointed.gba"), 0x40000, 0x12340, 0x200);
        QFile file(rom);
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.seek(0x800);
        file.write(QByteArray("\x40\x23\x01\x08", 4));  // 0x08012340
        file.close();
        auto window = ShowWindow();
        OpenRom(*window, platform_, rom);
        window->mnuFreeSpaceMap->trigger();
        gapwell::FreeSpaceMapView* view = MapWindow()->picMap;
        const QImage image = view->grab().toImage();
        QCOMPARE(image.pixelColor(view->CellRect(0x12440).topLeft()),
                 gapwell::MapColoursFor(view->palette()).referenced);
    }
};

QTEST_MAIN(TestFreeSpaceMap)
#include "tst_freespace_map.moc"
