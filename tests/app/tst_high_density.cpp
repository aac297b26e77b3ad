// Every window at the scale factor that QT_SCALE_FACTOR in the test's environment sets (the test
// runs at 100 %, 125 %, 150 % and 200 %), in every language of the string tables: each text fits
// its control, no control covers a sibling or a frame's border, and every font is drawn from an
// outline face.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "NoUpdateCheck.h"
#include "SearchWindowTesting.h"
#include "about/frmAbout.h"
#include "mapwindow/frmFreeSpaceMap.h"
#include "platform/QtPlatform.h"
#include "services/modLocalize.h"
#include "support/LoadedWindows.h"
#include "support/LoopbackServer.h"
#include "ui/ProgramFonts.h"
#include "updatewindow/UpdateWizard.h"
#include "updatewindow/frmUpdate.h"

using gapwell::frmUpdate;
using gapwell::test::LoopbackServer;

namespace {

const char* const kLanguages[] = {"da_DK", "de_DE", "en_US", "fi_FI", "fr_FR", "it_IT",
                                  "nl_NL", "sk_SK", "sl_SI", "zh_CN", "es_ES"};

// Where a one-line text drawn with `align` in `box` puts its ink (the glyph outlines, not the line
// spacing). The line's height and ascent come from every font that draws it, so that Chinese
// glyphs taken from a fallback font count with their own size.
QRectF InkRect(const QFont& font, const QString& text, const QRectF& box, Qt::Alignment align) {
    const QFontMetricsF metrics(font);
    const QRectF line = metrics.boundingRect(text);
    qreal baseline = box.top() - line.top();
    if (align & Qt::AlignVCenter) {
        baseline += (box.height() - line.height()) / 2;
    }
    const QRectF ink = metrics.tightBoundingRect(text);
    return QRectF(box.left(), baseline + ink.top(), metrics.horizontalAdvance(text), ink.height());
}

// Half a pixel: the rounding of glyph positions and outlines.
constexpr qreal kInkTolerance = 0.5;
// The least room between a frame's top border and the first text inside it.
constexpr qreal kBorderClearance = 3;

class LayoutCheck {
  public:
    explicit LayoutCheck(QString where) : where_(std::move(where)) {}

    void Window(QWidget* window) {
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (control->isWindow() || !control->isVisibleTo(window)) {
                continue;
            }
            Font(control);
            TextFits(control);
            InsideFrames(control, window);
        }
        SiblingsApart(window);
    }

    QStringList problems;

  private:
    QString where_;

    void Report(const QWidget* control, const QString& what) {
        problems << QStringLiteral("%1 %2: %3").arg(where_, control->objectName(), what);
    }

    void Font(const QWidget* control) {
        const QString face = QFontInfo(control->font()).family();
        if (!QFontDatabase::isSmoothlyScalable(face)) {
            Report(control, QStringLiteral("bitmap face ") + face);
        }
    }

    void TextFits(const QWidget* control) {
        QRect room = control->contentsRect();
        QString text;
        Qt::Alignment align = Qt::AlignVCenter;
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            text = label->text();
            align = label->alignment();
            if (label->wordWrap()) {
                if (label->heightForWidth(label->width()) > label->height()) {
                    Report(control, QStringLiteral("wrapped text taller than the label"));
                }
                return;
            }
        } else if (const auto* option = qobject_cast<const QRadioButton*>(control)) {
            text = option->text();
            const QStyle* style = option->style();
            room.setLeft(style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                         style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing));
        } else if (const auto* button = qobject_cast<const QPushButton*>(control)) {
            text = button->text().remove(QLatin1Char('&'));
            const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin);
            room.adjust(margin, 0, -margin, 0);
        }
        if (text.trimmed().isEmpty()) {
            return;
        }
        const QRectF ink = InkRect(control->font(), text, room, align);
        ClearOfFrameBorders(control, ink);
        if (!QRectF(room)
                 .adjusted(-kInkTolerance, -kInkTolerance, kInkTolerance, kInkTolerance)
                 .contains(ink)) {
            Report(control, QStringLiteral("text \"%1\" cut: ink %2,%3 %4x%5 in %6x%7")
                                .arg(text)
                                .arg(ink.x())
                                .arg(ink.y())
                                .arg(ink.width())
                                .arg(ink.height())
                                .arg(room.width())
                                .arg(room.height()));
        }
    }

    // The ink of a text inside a frame keeps clear of the frame's top border: a caption that
    // merely stays inside the frame but touches its border reads as sitting on it.
    void ClearOfFrameBorders(const QWidget* control, const QRectF& ink) {
        for (const QWidget* frame = control->parentWidget(); frame != nullptr;
             frame = frame->parentWidget()) {
            if (const auto* box = qobject_cast<const QGroupBox*>(frame)) {
                const QPointF topLeft = control->mapTo(box, QPoint(0, 0));
                if (ink.top() + topLeft.y() < box->contentsRect().top() + kBorderClearance) {
                    Report(control,
                           QStringLiteral("text touches the top border of ") + box->objectName());
                }
            }
        }
    }

    // A control inside a frame stays off the frame's border and its caption.
    void InsideFrames(QWidget* control, QWidget* window) {
        for (QWidget* frame = control->parentWidget(); frame != window;
             frame = frame->parentWidget()) {
            auto* box = qobject_cast<QGroupBox*>(frame);
            if (box == nullptr) {
                continue;
            }
            const QRect inFrame(control->mapTo(box, QPoint(0, 0)), control->size());
            if (!box->contentsRect().contains(inFrame)) {
                Report(control, QStringLiteral("on the border of ") + box->objectName());
            }
        }
    }

    static bool IsControl(const QWidget* widget) {
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            return !label->text().trimmed().isEmpty();
        }
        return qobject_cast<const QAbstractButton*>(widget) != nullptr ||
               qobject_cast<const QLineEdit*>(widget) != nullptr ||
               qobject_cast<const QAbstractItemView*>(widget) != nullptr ||
               qobject_cast<const QGroupBox*>(widget) != nullptr;
    }

    void SiblingsApart(QWidget* window) {
        QList<QWidget*> parents = window->findChildren<QWidget*>();
        parents << window;
        for (QWidget* parent : parents) {
            QList<QWidget*> controls;
            for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (!child->isWindow() && child->isVisibleTo(window) && IsControl(child)) {
                    controls << child;
                }
            }
            for (int i = 0; i < controls.size(); ++i) {
                for (int j = i + 1; j < controls.size(); ++j) {
                    if (controls[i]->geometry().intersects(controls[j]->geometry())) {
                        Report(controls[i],
                               QStringLiteral("overlaps ") + controls[j]->objectName());
                    }
                }
            }
        }
    }
};

}  // namespace

class TestHighDensity : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir folder_;
    gapwell::FakePlatform platform_;
    QString rom_;
    QStringList problems_;

    void Check(const char* language, const QString& window, QWidget* widget) {
        LayoutCheck check(QStringLiteral("%1 %2").arg(QLatin1String(language), window));
        check.Window(widget);
        problems_ << check.problems;
    }

    void VerifyNoProblems() {
        for (const QString& problem : problems_) {
            qInfo("%s", qPrintable(problem));
        }
        QVERIFY2(problems_.isEmpty(), "layout problems, listed above");
    }

  private slots:
    void initTestCase() {
        gapwell::LoadProgramFonts();
        // The face the reporter's system answered "MS Sans Serif" with: bitmaps of 13, 16 and 20
        // pixels only.
        QVERIFY(QFontDatabase::addApplicationFont(
                    QStringLiteral("/usr/share/wine/fonts/ms_sans_serif.ttf")) >= 0);
        UseQuietPlatform(platform_, folder_);
        platform_.defaultTaskDialogAnswer = 2;
        rom_ = searchwindow::WriteRom(folder_, QStringLiteral("run.gba"), 0x40000, 0x1000, 0x80);
    }

    void init() { problems_.clear(); }

    void cleanup() {
        for (QWidget* form : gapwell::test::LoadedWindows()) {
            form->deleteLater();
        }
        gapwell::test::UnloadAll();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The fonts the layouts name resolve to outline faces; "MS Sans Serif", which the system
    // knows at most as a bitmap face, gives way to the window's own family.
    void bitmapFacesGiveWayToTheWindowFont() {
        const QFont bitmapOnly(QStringLiteral("MS Sans Serif"));
        QVERIFY(QFontDatabase::hasFamily(bitmapOnly.family()));
        QVERIFY(!gapwell::HasScalableFace(bitmapOnly));
        QVERIFY(gapwell::HasScalableFace(QFont(QStringLiteral("Tahoma"))));
        platform_.locale.lang = "en_US";
        const auto window = searchwindow::ShowWindow();
        QCOMPARE(window->Frame1->font().family(), window->font().family());
        QCOMPARE(window->Frame1->font().pointSizeF(), 8.25);
        QVERIFY(
            QFontDatabase::isSmoothlyScalable(QFontInfo(window->lblCopyright->font()).family()));
    }

    void mainWindowAboutAndMap() {
        for (const char* language : kLanguages) {
            platform_.locale.lang = language;
            const auto window = searchwindow::ShowWindow();
            Check(language, QStringLiteral("main"), window.get());
            searchwindow::OpenRom(*window, platform_, rom_);
            Check(language, QStringLiteral("main with a ROM"), window.get());

            window->mnuAbout->trigger();
            auto* about = window->findChild<gapwell::frmAbout*>();
            QVERIFY(about != nullptr && QTest::qWaitForWindowExposed(about));
            Check(language, QStringLiteral("About"), about);

            window->mnuFreeSpaceMap->trigger();
            auto* map = window->findChild<gapwell::frmFreeSpaceMap*>();
            QVERIFY(map != nullptr && QTest::qWaitForWindowExposed(map));
            Check(language, QStringLiteral("map"), map);
            for (const QLabel* label : map->findChildren<QLabel*>()) {
                const QPixmap swatch = label->pixmap();
                QVERIFY(swatch.isNull() || swatch.devicePixelRatio() == map->devicePixelRatioF());
            }
        }
        VerifyNoProblems();
    }

    void liveUpdateWizardInEveryStep() {
        LoopbackServer server;
        server.Serve("/tarnwick/updates/GPW.txt",
                     "Gapwell|1.2.4|" + server.Url("/files/GPW.zip") + "\r\n");
        server.Serve("/files/GPW.zip", std::string(358656, 'z'));
        qputenv("GAPWELL_UPDATE_URL", server.Url("/tarnwick/updates/").c_str());
        QWidget owner;
        owner.show();
        for (const char* language : kLanguages) {
            platform_.locale.lang = language;
            gapwell::ShowUpdateWizard(&owner);
            frmUpdate* wizard = gapwell::LoadedForms::Find<frmUpdate>();
            QVERIFY(wizard != nullptr && QTest::qWaitForWindowExposed(wizard));
            for (const char* step : {"step 1", "step 2", "step 3"}) {
                Check(language, QStringLiteral("wizard ") + QLatin1String(step), wizard);
                QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);
            }
            QVERIFY(wizard->fraFrame[2]->isVisible());
            delete wizard;
        }
        qunsetenv("GAPWELL_UPDATE_URL");
        VerifyNoProblems();
    }

    void messageBoxes() {
        gapwell::QtPlatform qt;
        for (const char* language : kLanguages) {
            platform_.locale.lang = language;
            const std::string text = gapwell::LoadString(1000);
            QTimer::singleShot(0, [this, language] {
                QWidget* box = QApplication::activeModalWidget();
                if (box == nullptr) {
                    qFatal("the message box did not open");
                }
                Check(language, QStringLiteral("message box"), box);
                QTest::keyClick(box, Qt::Key_Return);
            });
            qt.ClassicMessageBox(text, "GPW", 0x40);
            QVERIFY(QApplication::activeModalWidget() == nullptr);
        }
        VerifyNoProblems();
    }
};

QTEST_MAIN(TestHighDensity)
#include "tst_high_density.moc"
