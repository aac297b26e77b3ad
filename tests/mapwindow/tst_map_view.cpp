// The map widget drawn from a synthetic run list: which colour the cells at known offsets get,
// and which clicks report a run.

#include <QHelpEvent>
#include <QImage>
#include <QTest>
#include <QToolTip>
#include <vector>

#include "mapwindow/FreeSpaceMapView.h"
#include "mapwindow/MapColours.h"
#include "support/FakePlatform.h"

using gapwell::CellClass;
using gapwell::FreeRun;
using gapwell::FreeSpaceMapView;

namespace {

// 64 KiB drawn in 64 × 64 cells of 16 bytes each.
constexpr std::int64_t kRomSize = 0x10000;
constexpr int kMapSide = 64 * 6;
constexpr std::int64_t kNeeded = 0x100;

constexpr FreeRun kRunAtZero{0, kNeeded};
constexpr FreeRun kUsableRun{0x1000, kNeeded};
constexpr FreeRun kReferencedRun{0x2000, kNeeded};
constexpr FreeRun kShortRun{0x3000, kNeeded - 1};
constexpr FreeRun kHalfCell{0x4008, 8};  // half of the cell at 0x4000
constexpr FreeRun kLoneByte{0x5008, 1};
constexpr FreeRun kOddRun{0x6001, kNeeded + 15};  // usable from 0x6010 with alignment 16

gapwell::RunMap TestRuns() {
    std::vector<gapwell::RangePointers> references(7);
    references[2].atStart = {0x40, 0x80};
    references[2].atStartCount = 2;
    references[2].inside = 3;
    references[1].inside = 5;  // words into the middle of a run mark nothing
    return gapwell::RunMap(
        kRomSize,
        {kRunAtZero, kUsableRun, kReferencedRun, kShortRun, kHalfCell, kLoneByte, kOddRun},
        references);
}

}  // namespace

class TestMapView : public QObject {
    Q_OBJECT

  private:
    gapwell::FakePlatform platform_;
    FreeSpaceMapView view_;

    QColor ColourAt(std::int64_t offset) {
        const QImage image = view_.grab().toImage();
        return image.pixelColor(view_.CellRect(offset).topLeft());
    }

    QColor ColourOf(CellClass cellClass) const {
        const gapwell::MapColours colours = gapwell::MapColoursFor(view_.palette());
        switch (cellClass) {
            case CellClass::Usable:
                return colours.usable;
            case CellClass::Referenced:
                return colours.referenced;
            case CellClass::Short:
                return colours.shortRun;
            case CellClass::Known:
                return colours.known;
            case CellClass::Data:
                break;
        }
        return colours.data;
    }

  private slots:
    void initTestCase() {
        gapwell::SetCurrentPlatform(&platform_);
        view_.resize(kMapSide, kMapSide);
        view_.show();  // a hidden widget hears of its new size only when shown
        view_.SetRuns(TestRuns());
        view_.SetNeeded(kNeeded);
        QCOMPARE(view_.BytesPerCell(), std::int64_t{16});
    }

    void cellsTakeTheColourOfTheirRuns_data() {
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<CellClass>("expected");
        QTest::newRow("run of the needed length at 0") << qint64(0) << CellClass::Usable;
        QTest::newRow("usable run, first cell") << qint64(0x1000) << CellClass::Usable;
        QTest::newRow("usable run, last cell") << qint64(0x10F0) << CellClass::Usable;
        QTest::newRow("before the usable run") << qint64(0x0FF0) << CellClass::Data;
        QTest::newRow("after the usable run") << qint64(0x1100) << CellClass::Data;
        QTest::newRow("one byte too short") << qint64(0x3000) << CellClass::Short;
        QTest::newRow("short run, 15 of 16 bytes") << qint64(0x30F0) << CellClass::Short;
        QTest::newRow("after the short run") << qint64(0x3100) << CellClass::Data;
        QTest::newRow("pointed-at run, first cell") << qint64(0x2000) << CellClass::Referenced;
        QTest::newRow("pointed-at run, last cell") << qint64(0x20F0) << CellClass::Referenced;
        QTest::newRow("cell half covered by a short run") << qint64(0x4000) << CellClass::Short;
        QTest::newRow("odd run, unaligned") << qint64(0x6000) << CellClass::Usable;
        QTest::newRow("lone filler byte in data") << qint64(0x5000) << CellClass::Data;
        QTest::newRow("last cell") << qint64(kRomSize - 1) << CellClass::Data;
    }
    void cellsTakeTheColourOfTheirRuns() {
        QFETCH(qint64, offset);
        QFETCH(CellClass, expected);
        QCOMPARE(ColourAt(offset), ColourOf(expected));
    }

    void aShorterNeededLengthRecoloursWithoutNewRuns() {
        view_.SetNeeded(kNeeded - 1);
        QCOMPARE(ColourAt(kShortRun.offset), ColourOf(CellClass::Usable));
        view_.SetNeeded(kNeeded);
        QCOMPARE(ColourAt(kShortRun.offset), ColourOf(CellClass::Short));
    }

    void resizingKeepsTheRomInsideTheWidget() {
        view_.resize(kMapSide / 2, kMapSide / 2);
        QCOMPARE(view_.BytesPerCell(), std::int64_t{64});
        QVERIFY(view_.rect().contains(view_.CellRect(kRomSize - 1)));
        QCOMPARE(ColourAt(kUsableRun.offset), ColourOf(CellClass::Usable));
        view_.resize(kMapSide, kMapSide);
    }

    // Left clicks on usable and pointed-at runs report them; short runs, data, other buttons and
    // the margin right of the last column report nothing.
    void onlyLeftClicksOnUsableCellsReportTheirRun() {
        std::vector<FreeRun> clicked;
        const auto connection = connect(&view_, &FreeSpaceMapView::UsableRunClicked,
                                        [&clicked](const FreeRun& run) { clicked.push_back(run); });
        view_.resize(kMapSide + 4, kMapSide);  // a margin of 4 pixels, too narrow for a column
        QCOMPARE(view_.BytesPerCell(), std::int64_t{16});
        for (const std::int64_t offset :
             {kUsableRun.offset + 0x80, kShortRun.offset, std::int64_t{0x2800},
              kReferencedRun.offset, kRunAtZero.offset}) {
            QTest::mouseClick(&view_, Qt::LeftButton, {}, view_.CellRect(offset).center());
        }
        const QPoint usable = view_.CellRect(kUsableRun.offset).center();
        QTest::mouseClick(&view_, Qt::RightButton, {}, usable);
        QTest::mouseClick(&view_, Qt::MiddleButton, {}, usable);
        // The margin right of the row that ends just before the usable run.
        const QRect lastColumn = view_.CellRect(kUsableRun.offset - 16);
        QTest::mouseClick(&view_, Qt::LeftButton, {},
                          QPoint(lastColumn.right() + 3, lastColumn.center().y()));
        view_.resize(kMapSide, kMapSide);
        disconnect(connection);
        const std::vector<std::pair<std::int64_t, std::int64_t>> expected{
            {kUsableRun.offset, kNeeded}, {kReferencedRun.offset, kNeeded}, {0, kNeeded}};
        std::vector<std::pair<std::int64_t, std::int64_t>> reported;
        for (const FreeRun& run : clicked) {
            reported.emplace_back(run.offset, run.length);
        }
        QCOMPARE(reported, expected);
    }

    // The alignment shortens runs to their aligned part: colours and clicks follow it.
    void anAlignmentRecoloursAndMovesTheClick() {
        std::vector<FreeRun> clicked;
        const auto connection = connect(&view_, &FreeSpaceMapView::UsableRunClicked,
                                        [&clicked](const FreeRun& run) { clicked.push_back(run); });
        view_.SetAlignment(16);
        QCOMPARE(ColourAt(kOddRun.offset), ColourOf(CellClass::Usable));
        QTest::mouseClick(&view_, Qt::LeftButton, {}, view_.CellRect(kOddRun.offset).center());
        view_.SetAlignment(256);
        QCOMPARE(ColourAt(kOddRun.offset), ColourOf(CellClass::Short));
        QCOMPARE(ColourAt(kUsableRun.offset), ColourOf(CellClass::Usable));
        QTest::mouseClick(&view_, Qt::LeftButton, {}, view_.CellRect(kOddRun.offset).center());
        view_.SetAlignment(1);
        disconnect(connection);
        QCOMPARE(clicked.size(), std::size_t{1});
        QCOMPARE(clicked[0].offset, std::int64_t{0x6010});
        QCOMPARE(clicked[0].length, kNeeded);
    }

    void theTooltipNamesThePointersOfARun() {
        const auto tooltipAt = [this](std::int64_t offset) {
            const QPoint point = view_.CellRect(offset).center();
            QHelpEvent help(QEvent::ToolTip, point, view_.mapToGlobal(point));
            QApplication::sendEvent(&view_, &help);
            return QToolTip::text();
        };
        QCOMPARE(tooltipAt(kReferencedRun.offset + 0x10),
                 QStringLiteral("Offsets 2010 to 201F\nFiller run at 2000, length 100 (256 bytes)\n"
                                "Words pointing at its first byte: 2 (40, 80)"));
        QCOMPARE(
            tooltipAt(kUsableRun.offset),
            QStringLiteral("Offsets 1000 to 100F\nFiller run at 1000, length 100 (256 bytes)"));
    }

    // Light and dark palettes each get their own colours, all four kinds told apart from each
    // other and from the window's base colour.
    void bothPalettesTellTheKindsApart() {
        QPalette light;
        light.setColor(QPalette::Base, Qt::white);
        QPalette dark;
        dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
        const gapwell::MapColours lightColours = gapwell::MapColoursFor(light);
        const gapwell::MapColours darkColours = gapwell::MapColoursFor(dark);
        QCOMPARE(lightColours.usable, QColor(0x00, 0x72, 0xB2));
        QCOMPARE(lightColours.referenced, QColor(0xD5, 0x5E, 0x00));
        QCOMPARE(darkColours.usable, QColor(0x56, 0xB4, 0xE9));
        QCOMPARE(darkColours.referenced, QColor(0xF0, 0x7A, 0x3C));
        for (const gapwell::MapColours& colours : {lightColours, darkColours}) {
            const QList<QColor> kinds{colours.usable, colours.referenced, colours.shortRun,
                                      colours.data, colours.background};
            for (qsizetype a = 0; a < kinds.size(); ++a) {
                for (qsizetype b = a + 1; b < kinds.size(); ++b) {
                    QVERIFY2(kinds[a] != kinds[b], qPrintable(kinds[a].name()));
                }
            }
        }
        const QPalette original = view_.palette();
        view_.setPalette(dark);
        QCOMPARE(ColourAt(kReferencedRun.offset), darkColours.referenced);
        QCOMPARE(ColourAt(kUsableRun.offset), darkColours.usable);
        view_.setPalette(original);
    }
};

QTEST_MAIN(TestMapView)
#include "tst_map_view.moc"
