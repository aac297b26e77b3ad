// The search commands of the main window: control states, "Search" and "Find next" through the
// result list, and the message when nothing is found.

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "NoUpdateCheck.h"
#include "SearchWindowTesting.h"

using gapwell::frmMain;
using namespace searchwindow;

namespace {
const QString kNothingFound = QStringLiteral("Not enough free space found.");
}

class TestSearchCommands : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir folder_;
    gapwell::FakePlatform platform_;
    // 64 KiB whose only filler bytes are 0x200 of 0xFF at 0x4000.
    QString runRom_;

    void CheckStates(const frmMain& window, bool results) {
        QVERIFY(window.cmdSearch->isEnabled() && window.mnuSearch->isEnabled());
        for (const QAction* action : {window.mnuFindNext, window.mnuCopy}) {
            QCOMPARE(action->isEnabled(), results);
        }
        for (const QPushButton* button : {window.cmdFindNext, window.cmdCopy}) {
            QCOMPARE(button->isEnabled(), results);
        }
        const QList<const QWidget*> options = {window.lblFreeSpace,      window.lblNeededBytes,
                                               window.lblSearchInterval, window.txtByteType,
                                               window.txtNeededBytes,    window.txtSearchInterval,
                                               window.optOffset[0],      window.optOffset[1]};
        for (const QWidget* option : options) {
            QVERIFY(option->isEnabled());
        }
        QCOMPARE(window.txtOffset->isEnabled(), window.optOffset[0]->isChecked());
        QCOMPARE(window.lstResult->count() > 0, results);
        QCOMPARE(window.lstResult->currentRow() >= 0, results);
    }

    std::unique_ptr<frmMain> WindowWithRunRom(const QString& interval = QStringLiteral("16")) {
        auto window = ShowWindow();
        OpenRom(*window, platform_, runRom_);
        QTest::mouseClick(window->optOffset[1], Qt::LeftButton);
        Retype(window->txtSearchInterval, interval);
        return window;
    }

  private slots:
    void initTestCase() {
        UseQuietPlatform(platform_, folder_);
        runRom_ = WriteRom(folder_, QStringLiteral("run.gba"), 0x10000, 0x4000, 0x200);
    }

    void cleanup() {
        UnloadAll();
        platform_.taskDialogs.clear();
    }

    void statesFromOpeningToResultsAndBack() {
        const auto window = ShowWindow();
        OpenRom(*window, platform_, runRom_);
        CheckStates(*window, false);

        QTest::mouseClick(window->optOffset[1], Qt::LeftButton);
        QTest::mouseClick(window->cmdSearch, Qt::LeftButton);
        CheckStates(*window, true);
        QCOMPARE(Items(window->lstResult), QStringList{"4000"});
        QCOMPARE(window->searchQuery.LastResult(), std::int64_t{16384});

        // A search that finds nothing after results: empty list, "Find next" and "Copy" off.
        Retype(window->txtNeededBytes, QStringLiteral("513"));
        QTest::mouseClick(window->cmdSearch, Qt::LeftButton);
        CheckStates(*window, false);
        QCOMPARE(Messages(platform_), QStringList{kNothingFound});
        QCOMPARE(platform_.taskDialogs[0].title, std::string("GPW"));
        QVERIFY(!platform_.taskDialogs[0].content.has_value());

        // Opening a ROM again clears the results and resets the filler byte only.
        Retype(window->txtNeededBytes, QStringLiteral("256"));
        window->mnuSearch->trigger();
        Retype(window->txtByteType, QStringLiteral("0"));
        Retype(window->txtNeededBytes, QStringLiteral("300"));
        OpenRom(*window, platform_, runRom_);
        CheckStates(*window, false);
        QCOMPARE(window->txtByteType->text(), QStringLiteral("FF"));
        QCOMPARE(window->txtNeededBytes->text(), QStringLiteral("300"));
        QCOMPARE(window->txtSearchInterval->text(), QStringLiteral("16"));
        QVERIFY(window->optOffset[1]->isChecked() && !window->txtOffset->isEnabled());
    }

    void findNextStepsThroughARunUntilNothingIsLeft() {
        const auto window = WindowWithRunRom();
        QTest::mouseClick(window->cmdSearch, Qt::LeftButton);
        QStringList expected{"4000"};
        for (int offset = 0x4010; offset <= 0x4100; offset += 0x10) {
            QTest::mouseClick(window->cmdFindNext, Qt::LeftButton);
            expected << QString::number(offset, 16).toUpper();
            QCOMPARE(window->lstResult->currentRow(), window->lstResult->count() - 1);
        }
        QCOMPARE(Items(window->lstResult), expected);
        QVERIFY(platform_.taskDialogs.empty());

        window->mnuFindNext->trigger();
        QCOMPARE(Messages(platform_), QStringList{kNothingFound});
        QCOMPARE(Items(window->lstResult), expected);
        QCOMPARE(window->lstResult->currentRow(), expected.size() - 1);
        CheckStates(*window, true);
    }

    void findNextFollowsTheLastResultNotTheSelectionOrOffset() {
        const auto window = WindowWithRunRom();
        QTest::mouseClick(window->cmdSearch, Qt::LeftButton);
        QTest::mouseClick(window->cmdFindNext, Qt::LeftButton);
        QTest::mouseClick(window->cmdFindNext, Qt::LeftButton);
        QTest::mouseClick(window->optOffset[0], Qt::LeftButton);
        Retype(window->txtOffset, QStringLiteral("4080"));
        window->lstResult->setCurrentRow(0);

        QTest::mouseClick(window->cmdFindNext, Qt::LeftButton);
        QCOMPARE(Items(window->lstResult), (QStringList{"4000", "4010", "4020", "4030"}));
        // The selection moves to the item after the one that was selected.
        QCOMPARE(window->lstResult->currentRow(), 1);
    }

    void searchStartsAtTheOffsetTextUnlessFromTheBeginning() {
        const auto window = WindowWithRunRom();
        QTest::mouseClick(window->optOffset[0], Qt::LeftButton);
        Retype(window->txtOffset, QStringLiteral("40f0"));
        QTest::mouseClick(window->cmdSearch, Qt::LeftButton);
        QCOMPARE(Items(window->lstResult), QStringList{"40F0"});

        // The digits stay in the disabled offset box but play no part.
        QTest::mouseClick(window->optOffset[1], Qt::LeftButton);
        QCOMPARE(window->txtOffset->text(), QStringLiteral("40F0"));
        QTest::mouseClick(window->cmdSearch, Qt::LeftButton);
        QCOMPARE(Items(window->lstResult), QStringList{"4000"});
    }

    // A "Find next" whose start would lie beyond the largest 32-bit offset finds nothing,
    // instead of searching from a negative offset.
    void findNextPastTheLastOffsetFindsNothing() {
        const auto window = WindowWithRunRom();
        QTest::mouseClick(window->cmdSearch, Qt::LeftButton);
        window->searchQuery = gapwell::SearchQuery({}, 2147483640);
        QTest::mouseClick(window->cmdFindNext, Qt::LeftButton);
        QCOMPARE(Messages(platform_), QStringList{kNothingFound});
        QCOMPARE(Items(window->lstResult), QStringList{"4000"});
        QVERIFY(!QFile::exists(folder_.filePath(QStringLiteral("Bug.log"))));
    }
};

QTEST_MAIN(TestSearchCommands)
#include "tst_search_commands.moc"
