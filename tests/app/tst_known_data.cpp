// Known data in the main window: File, "Open build symbols..." and a drop load marks for the open
// ROM, Search and Find next skip them, and the map shows them as their own kind of cell.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QToolTip>
#include <QUrl>

#include "NoUpdateCheck.h"
#include "SearchWindowTesting.h"
#include "mapwindow/FreeSpaceMapView.h"
#include "mapwindow/MapColours.h"
#include "mapwindow/frmFreeSpaceMap.h"

using gapwell::frmFreeSpaceMap;
using gapwell::frmMain;
using namespace searchwindow;

class TestKnownData : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir folder_;
    gapwell::FakePlatform platform_;
    // 256 KiB of 0x11 whose only 0xFF bytes are 0x800 of them at 0x12000.
    QString rom_;

    QString WriteText(const QString& name, const QByteArray& text) {
        const QString path = folder_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return path;
    }

    static void Drop(frmMain& window, const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &drop);
    }

    static void Search(frmMain& window) {
        QTest::mouseClick(window.optOffset[1], Qt::LeftButton);
        QTest::mouseClick(window.cmdSearch, Qt::LeftButton);
    }

  private slots:
    void initTestCase() {
        UseQuietPlatform(platform_, folder_);
        rom_ = WriteRom(folder_, QStringLiteral("game.gba"), 0x40000, 0x12000, 0x800);
    }

    void cleanup() {
        for (frmFreeSpaceMap* map : gapwell::test::LoadedWindows<frmFreeSpaceMap>()) {
            map->close();
        }
        UnloadAll();
        platform_.taskDialogs.clear();
        platform_.openFileRequests.clear();
    }

    void searchSkipsTheMarksOfTheOpenRom() {
        const auto window = ShowWindow();
        QVERIFY(!window->mnuOpenSymbols->isEnabled());
        OpenRom(*window, platform_, rom_);
        QVERIFY(window->lblKnownData->isHidden());
        platform_.openFileAnswers.push_back(
            WriteText(QStringLiteral("game.sym"), "08012000 tiles,00000300\n").toStdString());
        window->mnuOpenSymbols->trigger();
        QCOMPARE(platform_.openFileRequests.back().title, std::string("Opening build symbols..."));
        QCOMPARE(window->lblKnownData->text(), QStringLiteral("Known: 1"));
        // Both lines fit inside the frame, one above the other.
        QVERIFY(!window->lblKnownData->isHidden());
        QVERIFY(window->Frame2->contentsRect().contains(window->lblGameCode->geometry()));
        QVERIFY(window->Frame2->contentsRect().contains(window->lblKnownData->geometry()));
        QVERIFY(!window->lblGameCode->geometry().intersects(window->lblKnownData->geometry()));

        // A drop adds the marks of a symbol list; the run's rest is known up to 0x12500.
        Drop(*window, WriteText(QStringLiteral("game.syms"), "08012300 g 00000200 table\n"));
        QCOMPARE(window->lblKnownData->text(), QStringLiteral("Known: 2"));
        Retype(window->txtNeededBytes, QStringLiteral("512"));
        Search(*window);
        QCOMPARE(Items(window->lstResult), QStringList{QStringLiteral("12500")});
        QTest::mouseClick(window->cmdFindNext, Qt::LeftButton);
        QCOMPARE(Items(window->lstResult), (QStringList{"12500", "12510"}));

        // Another ROM starts without marks.
        OpenRom(*window, platform_, rom_);
        QVERIFY(window->lblKnownData->isHidden());
        Search(*window);
        QCOMPARE(Items(window->lstResult), QStringList{QStringLiteral("12000")});
    }

    void aFileThatIsNoBuildFileKeepsTheMarks() {
        const auto window = ShowWindow();
        OpenRom(*window, platform_, rom_);
        Drop(*window, WriteText(QStringLiteral("ok.sym"), "08012000 tiles\n"));
        Drop(*window, WriteText(QStringLiteral("notes.txt"), "hello there\n"));
        QCOMPARE(Messages(platform_), QStringList{"These build symbols cannot be read:"});
        QVERIFY(platform_.taskDialogs[0].content.value_or("").find("notes.txt:1: not a symbol") !=
                std::string::npos);
        QCOMPARE(window->lblKnownData->text(), QStringLiteral("Known: 1"));
    }

    void theMapShowsKnownDataWithTheMarksName() {
        const auto window = ShowWindow();
        OpenRom(*window, platform_, rom_);
        window->mnuFreeSpaceMap->trigger();
        gapwell::FreeSpaceMapView* view =
            gapwell::test::LoadedWindows<frmFreeSpaceMap>()[0]->picMap;
        const gapwell::MapColours colours = gapwell::MapColoursFor(view->palette());
        const auto colourAt = [view](std::int64_t offset) {
            return view->grab().toImage().pixelColor(view->CellRect(offset).topLeft());
        };
        QCOMPARE(colourAt(0x12100), colours.usable);
        Drop(*window, WriteText(QStringLiteral("map.sym"), "08012000 tiles,00000600\n"));
        QCOMPARE(colourAt(0x12100), colours.known);
        QCOMPARE(colourAt(0x12700), colours.usable);  // the free part after the mark

        const QPoint cell = view->CellRect(0x12100).center();
        QHelpEvent help(QEvent::ToolTip, cell, view->mapToGlobal(cell));
        QApplication::sendEvent(view, &help);
        QVERIFY2(QToolTip::text().contains(QStringLiteral("Known data: tiles")),
                 qPrintable(QToolTip::text()));
    }
};

QTEST_MAIN(TestKnownData)
#include "tst_known_data.moc"
