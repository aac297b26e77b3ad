// Results that a word of the ROM points at exactly get a warning mark and a tooltip; their text,
// Copy and Find next stay as they are.

#include <QIcon>
#include <QPushButton>
#include <QRadioButton>

#include "SearchWindowTesting.h"

using namespace searchwindow;

namespace {

// A ROM with 0x200 bytes of 0xFF at 0x12340, and little-endian words at the given offsets.
QString WriteRomWithWords(const QTemporaryDir& dir, const QString& name,
                          const QList<QPair<qint64, quint32>>& words) {
    const QString path = WriteRom(dir, name, 0x40000, 0x12340, 0x200);
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        qFatal("cannot open %s", qPrintable(path));
    }
    for (const auto& [offset, value] : words) {
        const char bytes[4] = {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
        file.seek(offset);
        file.write(bytes, 4);
    }
    return path;
}

}  // namespace

class TestResultMarks : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir folder_;
    gapwell::FakePlatform platform_;

    std::unique_ptr<gapwell::frmMain> SearchFromTheBeginning(const QString& rom) {
        auto window = ShowWindow();
        OpenRom(*window, platform_, rom);
        QTest::mouseClick(window->optOffset[1], Qt::LeftButton);
        QTest::mouseClick(window->cmdSearch, Qt::LeftButton);
        return window;
    }

  private slots:
    void initTestCase() {
        platform_.programFolder = folder_.path().toStdString();
        gapwell::SetCurrentPlatform(&platform_);
    }

    void cleanup() { UnloadAll(); }

    void aResultPointedAtIsMarkedAndKeepsItsText() {
        const QString rom = WriteRomWithWords(
            folder_, QStringLiteral("pointed.gba"),
            {{0x100, 0x08012340}, {0x204, 0x0C012341}, {0x300, 0x08012380}, {0x401, 0x08012340}});
        auto window = SearchFromTheBeginning(rom);
        QCOMPARE(Items(window->lstResult), QStringList{QStringLiteral("12340")});
        const QListWidgetItem* marked = window->lstResult->item(0);
        QVERIFY(!marked->icon().isNull());
        QCOMPARE(marked->toolTip(),
                 QStringLiteral("Words pointing at its first byte: 2 (100, 204)\n"
                                "Words pointing into its 256 bytes: 3\n"
                                "The game may already use these bytes."));
        QTest::mouseClick(window->cmdCopy, Qt::LeftButton);
        QCOMPARE(platform_.clipboardText, std::string("12340"));

        // 0x12350 is pointed into, not at: counted, never marked.
        QTest::mouseClick(window->cmdFindNext, Qt::LeftButton);
        QCOMPARE(Items(window->lstResult),
                 (QStringList{QStringLiteral("12340"), QStringLiteral("12350")}));
        const QListWidgetItem* unmarked = window->lstResult->item(1);
        QVERIFY(unmarked->icon().isNull());
        QVERIFY(unmarked->toolTip().isEmpty());
        QTest::mouseClick(window->cmdCopy, Qt::LeftButton);
        QCOMPARE(platform_.clipboardText, std::string("12350"));
    }

    // More pointers than the tooltip lists: the first eight and the count.
    void theTooltipListsTheFirstEightPointers() {
        QList<QPair<qint64, quint32>> words;
        for (qint64 offset = 0x1000; offset < 0x1000 + 10 * 4; offset += 4) {
            words.append({offset, 0x0A012340});
        }
        const QString rom = WriteRomWithWords(folder_, QStringLiteral("many.gba"), words);
        auto window = SearchFromTheBeginning(rom);
        QCOMPARE(window->lstResult->item(0)->toolTip().section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("Words pointing at its first byte: 10 (1000, 1004, 1008, 100C, "
                                "1010, 1014, 1018, 101C, …)"));
        QVERIFY(Messages(platform_).isEmpty());
    }
};

QTEST_MAIN(TestResultMarks)
#include "tst_result_marks.moc"
