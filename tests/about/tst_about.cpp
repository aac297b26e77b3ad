// The About window, driven through its controls on the offscreen platform.

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "about/ShowAbout.h"
#include "about/frmAbout.h"
#include "base/RuntimeError.h"
#include "base/Version.h"
#include "services/modLocalize.h"
#include "support/FakePlatform.h"
#include "support/LoadedWindows.h"

using gapwell::frmAbout;

namespace {

// A platform whose browser cannot be started.
class NoBrowserPlatform : public gapwell::FakePlatform {
  public:
    void OpenUrl(const std::string& /*url*/) override {
        throw gapwell::RuntimeError(2, "No such file or directory");
    }
};

using gapwell::test::LoadedWindows;

template <typename Control>
Control* ControlOf(frmAbout* window, const char* name) {
    auto* control = window->findChild<Control*>(QLatin1String(name));
    if (control == nullptr) {
        qFatal("About window has no control %s", name);
    }
    return control;
}

QString LabelText(frmAbout* window, const char* name) {
    return ControlOf<QLabel>(window, name)->text();
}

void DeleteClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<gapwell::FakePlatform> platform_;
    std::unique_ptr<QWidget> owner_;

    void InstallPlatform(std::unique_ptr<gapwell::FakePlatform> platform) {
        platform_ = std::move(platform);
        gapwell::SetCurrentPlatform(platform_.get());
    }

    // Runs the About command and returns the one loaded About window.
    frmAbout* OpenAbout() {
        gapwell::ShowAbout(owner_.get());
        const QList<frmAbout*> windows = LoadedWindows<frmAbout>();
        if (windows.size() != 1) {
            qFatal("expected one loaded About window, found %d", int(windows.size()));
        }
        return windows.front();
    }

    // The window is gone: hidden, no longer loaded, and destroyed.
    void VerifyClosed(QPointer<frmAbout> window) {
        QVERIFY(window.isNull() || !window->isVisible());
        QVERIFY(LoadedWindows<frmAbout>().isEmpty());
        DeleteClosedWindows();
        QVERIFY(window.isNull());
    }

    // No failure was reported through the error handler.
    void VerifyNothingReported() {
        QVERIFY(platform_->taskDialogs.empty());
        QVERIFY(platform_->classicBoxes.empty());
    }

  private slots:
    void init() {
        InstallPlatform(std::make_unique<gapwell::FakePlatform>());
        owner_ = std::make_unique<QWidget>();
        owner_->setGeometry(100, 80, 497, 400);
        owner_->show();
    }

    void cleanup() {
        owner_.reset();  // takes an open About window with it
        DeleteClosedWindows();
        gapwell::SetCurrentPlatform(nullptr);
        platform_.reset();
    }

    void loadFillsTheTexts() {
        frmAbout* window = OpenAbout();
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("About"));
        QCOMPARE(LabelText(window, "lblAppName"), QStringLiteral("Gapwell"));
        QCOMPARE(LabelText(window, "lblVersion"),
                 QStringLiteral("v") + QString::fromLatin1(gapwell::version::kVersionText));
        QCOMPARE(LabelText(window, "lblDescription"),
                 QStringLiteral("Searches for some free space inside a ROM."));
        QCOMPARE(LabelText(window, "lblCopyright"),
                 QStringLiteral(" %1 ").arg(QString::fromUtf8(gapwell::version::kCopyright)));
        QCOMPARE(ControlOf<QPushButton>(window, "cmdWeb")->text(), QStringLiteral("Web"));
        QCOMPARE(ControlOf<QPushButton>(window, "cmdOK")->text(), QStringLiteral("OK"));

        for (const char* name : {"lblAppName", "lblVersion", "lblDescription", "lblCopyright"}) {
            auto* label = ControlOf<QLabel>(window, name);  // sized to its text, inside
            QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(label->text()), name);
            QVERIFY2(label->geometry().right() < window->width(), name);
        }
        QCOMPARE(ControlOf<QLabel>(window, "imgIcon")->pixmap().size(), QSize(32, 32));
        VerifyNothingReported();
    }

    // Esc is seen by the window before the focused control; other keys (Enter, Space) reach the
    // focused button; a click on OK closes.
    void closesByKeyboardAndOk_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("key");  // 0 for a mouse click
        QTest::newRow("Esc on OK") << QStringLiteral("cmdOK") << int(Qt::Key_Escape);
        QTest::newRow("Esc on Web") << QStringLiteral("cmdWeb") << int(Qt::Key_Escape);
        QTest::newRow("Enter on OK") << QStringLiteral("cmdOK") << int(Qt::Key_Return);
        QTest::newRow("Space on OK") << QStringLiteral("cmdOK") << int(Qt::Key_Space);
        QTest::newRow("click on OK") << QStringLiteral("cmdOK") << 0;
    }

    void closesByKeyboardAndOk() {
        QFETCH(QString, control);
        QFETCH(int, key);
        QPointer<frmAbout> window = OpenAbout();
        QCOMPARE(window->focusWidget(), ControlOf<QPushButton>(window, "cmdOK"));
        auto* button = ControlOf<QPushButton>(window, control.toLatin1().constData());
        button->setFocus();
        if (key == 0) {
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            QTest::keyClick(button, Qt::Key(key));
        }
        VerifyClosed(window);
        QVERIFY(platform_->openedUrls.empty());
        VerifyNothingReported();
    }

    void webOpensTheHomePageAndStaysOpen() {
        QPointer<frmAbout> window = OpenAbout();
        QTest::mouseClick(ControlOf<QPushButton>(window, "cmdWeb"), Qt::LeftButton);
        QCOMPARE(platform_->openedUrls,
                 std::vector<std::string>{std::string(gapwell::version::kHomePage)});
        DeleteClosedWindows();
        QVERIFY(!window.isNull() && window->isVisible());
        QCOMPARE(LoadedWindows<frmAbout>().size(), 1);
    }

    void webWithoutBrowserKeepsTheWindowOpen() {
        InstallPlatform(std::make_unique<NoBrowserPlatform>());
        QPointer<frmAbout> window = OpenAbout();
        QTest::mouseClick(ControlOf<QPushButton>(window, "cmdWeb"), Qt::LeftButton);
        QVERIFY(!window.isNull() && window->isVisible());
        VerifyNothingReported();
    }

    void secondAboutCommandRaisesTheOpenWindowWithoutLoading() {
        QPointer<frmAbout> first = OpenAbout();
        ControlOf<QLabel>(first, "lblVersion")->setText(QStringLiteral("changed"));
        frmAbout* second = OpenAbout();
        QCOMPARE(second, first.data());
        QCOMPARE(LabelText(second, "lblVersion"), QStringLiteral("changed"));
        QCOMPARE(owner_->findChildren<frmAbout*>().size(), 1);
    }

    void aboutAfterClosingLoadsAFreshWindow() {
        QPointer<frmAbout> first = OpenAbout();
        ControlOf<QLabel>(first, "lblVersion")->setText(QStringLiteral("changed"));
        QTest::mouseClick(ControlOf<QPushButton>(first, "cmdOK"), Qt::LeftButton);
        VerifyClosed(first);

        frmAbout* second = OpenAbout();
        QVERIFY(second->isVisible());
        QCOMPARE(LabelText(second, "lblVersion"),
                 QStringLiteral("v") + QString::fromLatin1(gapwell::version::kVersionText));
    }

    void germanChangesOnlyCaptionAndDescription() {
        platform_->locale.lang = "de_DE.UTF-8";
        frmAbout* window = OpenAbout();
        const QString caption = QString::fromStdString(gapwell::LoadString(2000));
        const QString description = QString::fromStdString(gapwell::LoadString(2001));
        QVERIFY(!caption.isEmpty() && caption != QStringLiteral("About"));
        QVERIFY(description != QStringLiteral("Searches for some free space inside a ROM."));
        QCOMPARE(window->windowTitle(), caption);
        QCOMPARE(LabelText(window, "lblDescription"), description);
        QCOMPARE(ControlOf<QPushButton>(window, "cmdWeb")->text(), QStringLiteral("Web"));
        QCOMPARE(ControlOf<QPushButton>(window, "cmdOK")->text(), QStringLiteral("OK"));
        QCOMPARE(LabelText(window, "lblVersion"),
                 QStringLiteral("v") + QString::fromLatin1(gapwell::version::kVersionText));
        QCOMPARE(LabelText(window, "lblCopyright"),
                 QStringLiteral(" %1 ").arg(QString::fromUtf8(gapwell::version::kCopyright)));
    }

    void fixedToolWindowCentredOverItsOwner() {
        frmAbout* window = OpenAbout();
        QCOMPARE(window->size(), QSize(412, 140));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QCOMPARE(window->parentWidget(), owner_.get());
        const Qt::WindowFlags flags = window->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        const QPoint offset = window->geometry().center() - owner_->geometry().center();
        QVERIFY2(offset.manhattanLength() <= 2, "not centred over the owner");
    }

    void controlsSitAtTheirDesignPositionsAndOrder() {
        frmAbout* window = OpenAbout();
        QCOMPARE(ControlOf<QPushButton>(window, "cmdWeb")->geometry(), QRect(248, 108, 76, 23));
        QCOMPARE(ControlOf<QPushButton>(window, "cmdOK")->geometry(), QRect(328, 108, 76, 23));
        QCOMPARE(ControlOf<QLabel>(window, "imgIcon")->geometry(), QRect(16, 8, 32, 32));
        QCOMPARE(ControlOf<QWidget>(window, "shpHeaderBackground")->geometry(),
                 QRect(0, 0, 415, 52));
        QCOMPARE(ControlOf<QWidget>(window, "linCopyright")->geometry(), QRect(6, 98, 401, 1));
        QCOMPARE(ControlOf<QWidget>(window, "linShadow")->geometry().top(), 49);
        QCOMPARE(ControlOf<QLabel>(window, "lblVersion")->pos(), QPoint(376, 32));
        QCOMPARE(ControlOf<QLabel>(window, "lblDescription")->pos(), QPoint(16, 64));

        // Front controls cover the ones behind: the name lies on the header band, and the opaque
        // copyright label breaks the separator line behind its text.
        auto* appName = ControlOf<QLabel>(window, "lblAppName");
        QCOMPARE(window->childAt(appName->geometry().center()), appName);
        auto* copyright = ControlOf<QLabel>(window, "lblCopyright");
        const QPoint onLine(copyright->geometry().center().x(), 98);
        QVERIFY(copyright->geometry().contains(onLine));
        QCOMPARE(window->childAt(onLine), copyright);

        // Tab goes from OK to Web; the labels take no focus.
        QWidget* next = ControlOf<QPushButton>(window, "cmdOK")->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus) {
            next = next->nextInFocusChain();
        }
        QCOMPARE(next, ControlOf<QPushButton>(window, "cmdWeb"));
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
