// The map widget drawn from a synthetic run list: which colour the cells at known offsets get,
// and which clicks report a run.

#include <QImage>
#include <QTest>
#include <vector>

#include "mapwindow/FreeSpaceMapView.h"
#include "mapwindow/MapColours.h"
#include "platform/FakePlatform.h"

using gapwell::CellClass;
using gapwell::FreeRun;
using gapwell::FreeSpaceMapView;

namespace {

// 64 KiB drawn in 64 × 64 cells of 16 bytes each.
constexpr std::int64_t kRomSize = 0x10000;
constexpr int kMapSide = 64 * 6;
constexpr std::int64_t kNeeded = 0x100;

constexpr FreeRun kUsableRun{0x1000, kNeeded};
constexpr FreeRun kShortRun{0x3000, kNeeded - 1};
constexpr FreeRun kLoneByte{0x5008, 1};

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
            case CellClass::Short:
                return colours.shortRun;
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
        view_.SetRuns(gapwell::RunMap(kRomSize, {kUsableRun, kShortRun, kLoneByte}));
        view_.SetNeeded(kNeeded);
        QCOMPARE(view_.BytesPerCell(), std::int64_t{16});
    }

    void cellsTakeTheColourOfTheirRuns_data() {
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<CellClass>("expected");
        QTest::newRow("usable run, first cell") << qint64(0x1000) << CellClass::Usable;
        QTest::newRow("usable run, last cell") << qint64(0x10F0) << CellClass::Usable;
        QTest::newRow("before the usable run") << qint64(0x0FF0) << CellClass::Data;
        QTest::newRow("after the usable run") << qint64(0x1100) << CellClass::Data;
        QTest::newRow("one byte too short") << qint64(0x3000) << CellClass::Short;
        QTest::newRow("short run, 15 of 16 bytes") << qint64(0x30F0) << CellClass::Short;
        QTest::newRow("after the short run") << qint64(0x3100) << CellClass::Data;
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

    void onlyUsableCellsReportTheirRunWhenClicked() {
        std::vector<FreeRun> clicked;
        const auto connection = connect(&view_, &FreeSpaceMapView::UsableRunClicked,
                                        [&clicked](const FreeRun& run) { clicked.push_back(run); });
        for (const std::int64_t offset :
             {kUsableRun.offset + 0x80, kShortRun.offset, std::int64_t{0x2000}}) {
            QTest::mouseClick(&view_, Qt::LeftButton, {}, view_.CellRect(offset).center());
        }
        disconnect(connection);
        QCOMPARE(clicked.size(), std::size_t{1});
        QCOMPARE(clicked[0].offset, kUsableRun.offset);
        QCOMPARE(clicked[0].length, kUsableRun.length);
    }
};

QTEST_MAIN(TestMapView)
#include "tst_map_view.moc"
