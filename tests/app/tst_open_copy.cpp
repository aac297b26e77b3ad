// Opening a ROM (Open dialog, command line, dropped file) and copying a result to the clipboard.

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include "NoUpdateCheck.h"
#include "SearchWindowTesting.h"

using gapwell::frmMain;
using namespace searchwindow;

class TestOpenCopy : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir folder_;
    gapwell::FakePlatform platform_;
    QString runRom_;

    std::unique_ptr<frmMain> WindowWithResults() {
        auto window = ShowWindow();
        OpenRom(*window, platform_, runRom_);
        QTest::mouseClick(window->optOffset[1], Qt::LeftButton);
        QTest::mouseClick(window->cmdSearch, Qt::LeftButton);
        QTest::mouseClick(window->cmdFindNext, Qt::LeftButton);
        QTest::mouseClick(window->cmdFindNext, Qt::LeftButton);
        return window;
    }

    // A double click arrives as a click followed by the double-click event.
    void ClickItem(QListWidget* list, int row, bool twice) {
        const QPoint centre = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        if (twice) {
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
        }
    }

    // Loads a window as the program starts with `commandLine`; returns the ROM it opened.
    std::string StartWith(const QString& commandLine) {
        platform_.commandLine = commandLine.toStdString();
        const auto window = std::make_unique<frmMain>();
        platform_.commandLine.clear();
        return window->m_FileName;
    }

  private slots:
    void initTestCase() {
        UseQuietPlatform(platform_, folder_);
        runRom_ =
            WriteRom(folder_, QStringLiteral("run.gba"), 0x10000, 0x4000, 0x200, '\xFF', "BPRE");
    }

    void cleanup() {
        UnloadAll();
        platform_.taskDialogs.clear();
        platform_.openFileRequests.clear();
    }

    void openingThroughTheDialog() {
        const QString odd = WriteRom(folder_, QStringLiteral("odd.bin"), 0x1000001);
        const auto window = ShowWindow();
        OpenRom(*window, platform_, odd);
        QCOMPARE(platform_.openFileRequests.size(), std::size_t{1});
        const gapwell::OpenFileRequest& request = platform_.openFileRequests[0];
        QCOMPARE(request.title, std::string("Opening ROM..."));
        QCOMPARE(request.filters.size(), std::size_t{1});
        QCOMPARE(request.filters[0].first,
                 std::string("GameBoy Advance ROMs (*.gba, *.agb, *.bin)"));
        QCOMPARE(request.filters[0].second, std::string("*.gba;*.agb;*.bin"));
        QCOMPARE(request.flags, 0x1804);
        QCOMPARE(window->m_FileName, odd.toStdString());
        QCOMPARE(window->txtOffset->text(), QStringLiteral("800000"));
        QCOMPARE(window->lblGameCode->text(), QStringLiteral("ROM: TEST"));
        QVERIFY(window->cmdSearch->isEnabled());

        // The next dialog starts from the path chosen last.
        OpenRom(*window, platform_, runRom_);
        QCOMPARE(platform_.openFileRequests[1].initialPath, odd.toStdString());
        QCOMPARE(window->lblGameCode->text(), QStringLiteral("ROM: BPRE"));
        QCOMPARE(window->txtOffset->text(), QStringLiteral("8000"));

        // The widest game code still fits its label.
        OpenRom(*window, platform_,
                WriteRom(folder_, QStringLiteral("wide.gba"), 0x200, 0, 0, '\xFF', "WWWW"));
        QCOMPARE(window->lblGameCode->text(), QStringLiteral("ROM: WWWW"));
        QVERIFY(window->lblGameCode->fontMetrics().horizontalAdvance(window->lblGameCode->text()) <=
                window->lblGameCode->width());

        // A byte above 0x7F shows as its Latin-1 character.
        OpenRom(*window, platform_,
                WriteRom(folder_, QStringLiteral("latin.gba"), 0x200, 0, 0, '\xFF',
                         QByteArray::fromHex("4142E944")));  // A, B, 0xE9, D
        QCOMPARE(window->lblGameCode->text(), QStringLiteral("ROM: AB\u00E9D"));
    }

    void cancellingTheDialogKeepsEverything() {
        const auto window = WindowWithResults();
        window->mnuOpen->trigger();  // no answer queued: cancelled
        QCOMPARE(platform_.openFileRequests.size(), std::size_t{2});
        QCOMPARE(platform_.openFileRequests[1].initialPath, runRom_.toStdString());
        QCOMPARE(window->m_FileName, runRom_.toStdString());
        QCOMPARE(Items(window->lstResult), (QStringList{"4000", "4010", "4020"}));
        QVERIFY(window->cmdFindNext->isEnabled() && window->cmdCopy->isEnabled());
        QCOMPARE(window->lblGameCode->text(), QStringLiteral("ROM: BPRE"));
    }

    void commandLineOpensOneRomFile() {
        const QString upper = WriteRom(folder_, QStringLiteral("Upper Case.GBA"), 0x2000);
        QCOMPARE(StartWith('"' + upper + '"'), upper.toStdString());
        QVERIFY(platform_.openFileRequests.empty());

        const QString text = WriteRom(folder_, QStringLiteral("notes.txt"), 0x2000);
        QVERIFY(QDir(folder_.path()).mkdir(QStringLiteral("folder.gba")));
        const QString second = WriteRom(folder_, QStringLiteral("second.gba"), 0x2000);
        for (const QString& ignored : {text, folder_.filePath(QStringLiteral("folder.gba")),
                                       runRom_ + ' ' + second, QString()}) {
            QCOMPARE(StartWith(ignored), std::string());
        }
        QVERIFY(platform_.openFileRequests.empty());
    }

    void extensionOfAPath() {
        QCOMPARE(frmMain::GetExtension("/roms/Game.GbA"), std::string("gba"));
        QCOMPARE(frmMain::GetExtension("/roms/v1.2/game"), std::string());
        QCOMPARE(frmMain::GetExtension("/roms/game."), std::string());
    }

    void droppedRomFileOpens() {
        const auto window = ShowWindow();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(runRom_)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &drop);
        QCOMPARE(window->m_FileName, runRom_.toStdString());
        QCOMPARE(window->lblGameCode->text(), QStringLiteral("ROM: BPRE"));
        QVERIFY(platform_.openFileRequests.empty());

        QMimeData other;
        other.setUrls({QUrl::fromLocalFile(folder_.filePath(QStringLiteral("missing.gba")))});
        QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &other, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &refused);
        QVERIFY(!refused.isAccepted());
    }

    void copyTakesTheSelectedItem() {
        const auto window = WindowWithResults();
        ClickItem(window->lstResult, 0, false);
        platform_.doEventsCalls = 0;
        platform_.clipboardClears = 0;
        QTest::mouseClick(window->cmdCopy, Qt::LeftButton);
        QCOMPARE(platform_.clipboardText, std::string("4000"));
        QCOMPARE(platform_.doEventsCalls, 2);
        QCOMPARE(platform_.clipboardClears, 1);

        ClickItem(window->lstResult, 1, true);
        QCOMPARE(platform_.clipboardText, std::string("4010"));
        window->lstResult->setCurrentRow(2);
        window->mnuCopy->trigger();
        QCOMPARE(platform_.clipboardText, std::string("4020"));
    }

    // Ctrl+click takes the selection away: Copy then copies nothing, and Find next selects the
    // first item.
    void nothingSelectedAfterCtrlClick() {
        const auto window = WindowWithResults();
        const QPoint last = window->lstResult->visualItemRect(window->lstResult->item(2)).center();
        QTest::mouseClick(window->lstResult->viewport(), Qt::LeftButton, Qt::ControlModifier, last);
        QVERIFY(window->lstResult->selectedItems().isEmpty());
        platform_.clipboardText = "kept";
        QTest::mouseClick(window->cmdCopy, Qt::LeftButton);
        QCOMPARE(platform_.clipboardText, std::string("kept"));

        QTest::mouseClick(window->cmdFindNext, Qt::LeftButton);
        QCOMPARE(Items(window->lstResult), (QStringList{"4000", "4010", "4020", "4030"}));
        QCOMPARE(window->lstResult->selectedItems(),
                 QList<QListWidgetItem*>{window->lstResult->item(0)});
    }

    void doubleClickOnAnEmptyListCopiesNothing() {
        const auto window = ShowWindow();
        platform_.clipboardText = "kept";
        platform_.clipboardClears = 0;
        QTest::mouseDClick(window->lstResult->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(platform_.clipboardText, std::string("kept"));
        QCOMPARE(platform_.clipboardClears, 0);
    }

    void busyClipboardIsReported() {
        const auto window = WindowWithResults();
        platform_.failClipboard = true;
        platform_.taskDialogAnswers = {2, 2};  // Cancel: Ignore, for the clearing and the setting
        QTest::mouseClick(window->cmdCopy, Qt::LeftButton);
        platform_.failClipboard = false;
        QCOMPARE(platform_.taskDialogs.size(), std::size_t{2});
        for (const gapwell::TaskDialogRequest& report : platform_.taskDialogs) {
            QCOMPARE(report.content.value_or(""), std::string("SafeClipboardSet@frmMain"));
        }
    }
};

QTEST_MAIN(TestOpenCopy)
#include "tst_open_copy.moc"
