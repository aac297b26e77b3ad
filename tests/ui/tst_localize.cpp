// Localizing a window: captions from the string ids of its window, controls and menu items,
// and the switch to the font Calibri, on the offscreen platform.

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "support/FakePlatform.h"
#include "ui/Localize.h"

namespace {

// A small window in the shape of the program's windows: ids in "tag" and "helpContextId".
struct TestWindow {
    std::unique_ptr<QMainWindow> window = std::make_unique<QMainWindow>();
    QGroupBox* fraOptions = nullptr;
    QLabel* lblFreeSpace = nullptr;
    QRadioButton* optBeginning = nullptr;
    QPushButton* cmdSearch = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblNoId = nullptr;
    QAction* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSep = nullptr;
    QAction* mnuEdit = nullptr;
    QAction* mnuFindNext = nullptr;
    QAction* mnuLiveUpdate = nullptr;
    QAction* mnuCheckNow = nullptr;

    TestWindow() {
        window->setWindowTitle("Design caption");
        window->setProperty("tag", "2000");
        window->setFont(QFont("Tahoma", 8));

        auto* central = new QWidget(window.get());
        window->setCentralWidget(central);
        fraOptions = WithTag(new QGroupBox("Search Options", central), "1");
        auto* picture = new QWidget(fraOptions);  // a container without an id
        lblFreeSpace = WithTag(new QLabel("Free Space Byte", picture), "2");
        QFont bold = lblFreeSpace->font();
        bold.setBold(true);
        bold.setPointSize(11);
        lblFreeSpace->setFont(bold);
        optBeginning = WithTag(new QRadioButton("Search from the beginning", picture), "4");
        cmdSearch = WithTag(new QPushButton("&Search", central), "6");
        lblVersion = WithTag(new QLabel("Version", central), "0");
        lblNoId = WithTag(new QLabel("Hex", central), "");

        QMenu* file = window->menuBar()->addMenu("File");
        mnuFile = WithHelpId(file->menuAction(), 100);
        mnuOpen = WithHelpId(file->addAction("Open ROM..."), 101);
        mnuSep = file->addSeparator();
        mnuSep->setText("-");
        QMenu* edit = window->menuBar()->addMenu("Edit");
        mnuEdit = WithHelpId(edit->menuAction(), 103);
        mnuFindNext = WithHelpId(edit->addAction("Find Next"), 105);
        QMenu* help = window->menuBar()->addMenu("Help");
        QMenu* liveUpdate = help->addMenu("Live Update");
        mnuLiveUpdate = WithHelpId(liveUpdate->menuAction(), 10000);
        mnuCheckNow = WithHelpId(liveUpdate->addAction("Check Now..."), 10024);
    }

    template <typename Control>
    static Control* WithTag(Control* control, const char* tag) {
        control->setProperty("tag", QString::fromLatin1(tag));
        return control;
    }
    static QAction* WithHelpId(QAction* item, int id) {
        item->setProperty("helpContextId", id);
        return item;
    }
};

}  // namespace

class TestLocalize : public QObject {
    Q_OBJECT

  private:
    gapwell::FakePlatform platform;

  private slots:
    void init() {
        platform = gapwell::FakePlatform();
        gapwell::SetCurrentPlatform(&platform);
    }
    void cleanup() { gapwell::SetCurrentPlatform(nullptr); }

    void germanCaptionsReplaceDesignTexts() {
        platform.locale.lang = "de_DE.UTF-8";
        TestWindow w;
        gapwell::LocalizeWithFont(w.window.get(), false);

        QCOMPARE(w.window->windowTitle(), QString("Info"));
        QCOMPARE(w.fraOptions->title(), QString("Suchoptionen"));
        QCOMPARE(w.lblFreeSpace->text(), QString("Füllbyte"));
        QCOMPARE(w.optBeginning->text(), QString("Vom Anfang des ROMs suchen"));
        QCOMPARE(w.cmdSearch->text(), QString("Suchen"));
        QCOMPARE(w.mnuFile->text(), QString("Datei"));
        QCOMPARE(w.mnuOpen->text(), QString("ROM öffnen..."));
        QCOMPARE(w.mnuEdit->text(), QString("Bearbeiten"));
        QCOMPARE(w.mnuFindNext->text(), QString("Weitersuchen"));
        QCOMPARE(w.mnuLiveUpdate->text(), QString("Live-Update"));
        QCOMPARE(w.mnuCheckNow->text(), QString("Jetzt prüfen..."));
        QVERIFY(platform.taskDialogs.empty());
    }

    void controlsWithoutIdKeepTheirTexts() {
        platform.locale.lang = "de_DE.UTF-8";
        TestWindow w;
        w.window->setProperty("tag", QString());
        gapwell::LocalizeWithFont(w.window.get(), false);

        QCOMPARE(w.window->windowTitle(), QString("Design caption"));
        QCOMPARE(w.lblVersion->text(), QString("Version"));
        QCOMPARE(w.lblNoId->text(), QString("Hex"));
        QCOMPARE(w.mnuSep->text(), QString("-"));
    }

    void frenchFileMenuKeepsItsDesignText() {
        platform.locale.lang = "fr_FR.UTF-8";
        TestWindow w;
        gapwell::LocalizeWithFont(w.window.get(), false);

        QCOMPARE(w.mnuFile->text(), QString("File"));
        QCOMPARE(w.mnuOpen->text(), QString("Ouvrir une ROM..."));
        QCOMPARE(w.mnuEdit->text(), QString("Édition"));
        QCOMPARE(w.window->windowTitle(), QString("À propos"));
        QVERIFY(platform.taskDialogs.empty());  // the empty entry is not reported
    }

    void languageWithoutTableShowsEnglish() {
        platform.locale.lang = "ru_RU.UTF-8";
        TestWindow w;
        gapwell::LocalizeWithFont(w.window.get(), false);

        QCOMPARE(w.mnuFindNext->text(), QString("Find next"));
        QCOMPARE(w.optBeginning->text(), QString("Search from the beginning of the ROM"));
    }

    void calibriChangesOnlyTheFaceOfWindowAndControls() {
        TestWindow w;
        const QFont menuFont = w.mnuOpen->font();
        const QFont menuBarFont = w.window->menuBar()->font();
        gapwell::LocalizeWithFont(w.window.get(), true);

        QCOMPARE(w.window->font().family(), QString("Calibri"));
        QCOMPARE(w.window->font().pointSize(), 8);
        QCOMPARE(w.lblFreeSpace->font().family(), QString("Calibri"));
        QVERIFY(w.lblFreeSpace->font().bold());
        QCOMPARE(w.lblFreeSpace->font().pointSize(), 11);
        QCOMPARE(w.cmdSearch->font().family(), QString("Calibri"));
        QCOMPARE(w.lblVersion->font().family(), QString("Calibri"));  // no id, still a control
        QCOMPARE(w.mnuOpen->font(), menuFont);
        QCOMPARE(w.window->menuBar()->font(), menuBarFont);
    }

    void withoutCalibriFontsStayAsDesigned() {
        TestWindow w;
        const QString designFamily = w.lblFreeSpace->font().family();
        gapwell::LocalizeWithFont(w.window.get(), false);

        QCOMPARE(w.lblFreeSpace->font().family(), designFamily);
        QVERIFY(w.window->font().family() != QString("Calibri"));
    }

    // The only test that runs the process-wide font check.
    void fontCheckRunsOnceWithALongerCalibriName() {
        platform.fonts = {"DejaVu Sans", "Calibri Light"};
        TestWindow first;
        gapwell::Localize(first.window.get());
        platform.fonts = {"DejaVu Sans"};
        TestWindow second;
        gapwell::Localize(second.window.get());

        QCOMPARE(platform.fontQueries, 1);
        QCOMPARE(first.cmdSearch->font().family(), QString("Calibri"));
        QCOMPARE(second.cmdSearch->font().family(), QString("Calibri"));
        QCOMPARE(second.cmdSearch->text(), QString("Search"));
    }
};

QTEST_MAIN(TestLocalize)
#include "tst_localize.moc"
