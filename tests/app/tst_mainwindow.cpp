// The main window on the offscreen platform: start-up state, design, menus, localization,
// unloading, window icons, and the Qt message boxes.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <functional>
#include <memory>

#include "NoUpdateCheck.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "base/Version.h"
#include "platform/QtPlatform.h"
#include "services/modLocalize.h"
#include "support/FakePlatform.h"
#include "support/LoadedWindows.h"
#include "ui/LoadedForms.h"
#include "ui/ProgramFonts.h"
#include "ui/ToolkitTranslations.h"
#include "ui/modIcon.h"
#include "update/files/NoFollow.h"
#include "update/install/InstallJournal.h"
#include "update/install/InstallLock.h"

using gapwell::frmMain;
using gapwell::LoadedForms;
using gapwell::test::UnloadAll;

namespace {

const char* const kLocales[] = {"da_DK", "de_DE", "en_US", "fi_FI", "fr_FR", "it_IT",
                                "nl_NL", "sk_SK", "sl_SI", "zh_CN", "es_ES"};

// A stand-in for another loaded window; it records the order in which windows are closed.
class OtherWindow : public QWidget {
  public:
    OtherWindow(const char* name, QStringList& closed, bool refuseClose = false)
        : closed_(closed), refuseClose_(refuseClose) {
        setObjectName(QString::fromLatin1(name));
        LoadedForms::Add(this);
    }

  protected:
    void closeEvent(QCloseEvent* event) override {
        closed_ << objectName();
        event->setAccepted(!refuseClose_);
    }

  private:
    QStringList& closed_;
    bool refuseClose_;
};

// Counts the icon changes a window receives.
class IconChanges : public QObject {
  public:
    explicit IconChanges(QWidget* window) { window->installEventFilter(this); }
    int count = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::WindowIconChange ? 1 : 0;
        return false;
    }
};

// Runs `answer` on the modal box that `show` opens, as soon as the box is up.
template <typename Show>
auto AnswerModal(const std::function<void(QWidget*)>& answer, Show show) {
    QTimer::singleShot(0, [answer] { answer(QApplication::activeModalWidget()); });
    return show();
}

QStringList ButtonTexts(QWidget* box) {
    QStringList texts;
    for (const QPushButton* button : box->findChildren<QPushButton*>()) {
        texts << button->text();
    }
    return texts;
}

QPushButton* ButtonWithText(QWidget* box, const QString& text) {
    for (QPushButton* button : box->findChildren<QPushButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    qFatal("no button %s", qPrintable(text));
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir programFolder_;
    gapwell::FakePlatform platform_;

    std::unique_ptr<frmMain> LoadIn(const char* locale) {
        platform_.locale.lang = locale;
        return std::make_unique<frmMain>();
    }

  private slots:
    void initTestCase() {
        gapwell::LoadProgramFonts();
        UseQuietPlatform(platform_, programFolder_);
    }

    void cleanup() {
        UnloadAll();
        platform_.taskDialogs.clear();
    }

    // First in the run: the font check happens once per process. A failing check is reported
    // and the window loads all the same.
    void loadGoesOnAfterAFailureIsReported() {
        platform_.failFonts = true;
        platform_.taskDialogAnswers = {2};  // Cancel: Ignore
        const auto window = LoadIn("en_US");
        platform_.failFonts = false;
        QCOMPARE(platform_.taskDialogs.size(), std::size_t{1});
        QCOMPARE(platform_.taskDialogs[0].content.value_or(""),
                 std::string("Localize@modLocalize"));
        QCOMPARE(window->lblGameCode->text(), QStringLiteral("ROM: ???"));
        QCOMPARE(window->fraOptions->title(), QStringLiteral("Search Options"));
    }

    void startUpState() {
        const auto window = LoadIn("en_US");
        QCOMPARE(window->windowTitle(), QStringLiteral("GPW - Gapwell"));
        QCOMPARE(window->lblCopyright->text(), QString::fromUtf8(gapwell::version::kCopyright));
        QCOMPARE(window->lblGameCode->text(), QStringLiteral("ROM: ???"));
        for (const char* name :
             {"lblFreeSpace", "txtByteType", "lblNeededBytes", "txtNeededBytes",
              "lblSearchInterval", "txtSearchInterval", "optOffset(1)", "optOffset(0)", "txtOffset",
              "cmdSearch", "cmdFindNext", "cmdCopy"}) {
            QWidget* control = window->findChild<QWidget*>(QLatin1String(name));
            QVERIFY2(control != nullptr && !control->isEnabled(), name);
        }
        QVERIFY(window->txtDec->isEnabled() && window->txtHex->isEnabled());
        QVERIFY(window->optOffset[0]->isChecked() && !window->optOffset[1]->isChecked());
        QCOMPARE(window->lstResult->count(), 0);
        QCOMPARE(window->lstResult->selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(!window->lstResult->isSortingEnabled());
        QVERIFY(!window->tmrShowUpdate->isActive());
        QCOMPARE(window->tmrShowUpdate->interval(), 1500);

        const std::pair<QLineEdit*, std::pair<QString, int>> boxes[] = {
            {window->txtByteType, {"FF", 2}},
            {window->txtNeededBytes, {"256", 5}},
            {window->txtSearchInterval, {"16", 5}},
            {window->txtOffset, {"", 6}},
            {window->txtDec, {"", 8}},
            {window->txtHex, {"", 7}}};
        for (const auto& [box, design] : boxes) {
            QCOMPARE(box->text(), design.first);
            QCOMPARE(box->maxLength(), design.second);
        }
        const std::pair<const char*, const char*> tags[] = {
            {"fraOptions", "1"},         {"lblFreeSpace", "2"}, {"lblNeededBytes", "3"},
            {"optOffset(1)", "4"},       {"optOffset(0)", "5"}, {"cmdSearch", "6"},
            {"cmdFindNext", "7"},        {"cmdCopy", "8"},      {"Label6", "9"},
            {"lblSearchInterval", "10"}, {"lstResult", "0"}};
        for (const auto& [name, tag] : tags) {
            QCOMPARE(window->findChild<QWidget*>(QLatin1String(name))->property("tag").toString(),
                     QString::fromLatin1(tag));
        }
    }

    void designGeometry() {
        const auto window = LoadIn("en_US");
        QCOMPARE(window->centralWidget()->size(), QSize(497, 353));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
        const std::tuple<QWidget*, QWidget*, QRect> placed[] = {
            {window->fraOptions, window->centralWidget(), {8, 104, 241, 201}},
            {window->Picture1, window->fraOptions, {16, 24, 217, 161}},
            {window->optOffset[0], window->Picture1, {0, 103, 137, 29}},
            {window->txtOffset, window->Picture1, {144, 108, 65, 19}},
            {window->lstResult, window->centralWidget(), {264, 112, 105, 147}},
            {window->txtHex, window->Picture2, {8, 56, 65, 19}},
            {window->lblGameCode,
             window->Frame2,
             {24, 16, 77, 13}},  // widened to fit wide game codes
            {window->lblCopyright,
             window->Frame1,
             {173, 13, 300, 13}}};  // widened: a larger font must not cut the notice off
        for (const auto& [control, container, geometry] : placed) {
            QCOMPARE(control->parentWidget(), container);
            QCOMPARE(control->geometry(), geometry);
        }
    }

    // The client area lies whole below the menu bar, however high the language's texts make it.
    void clientAreaFitsBelowTheMenuBarInEveryLanguage() {
        for (const char* language : kLocales) {
            const auto window = LoadIn(language);
            window->show();
            const QRect client = window->centralWidget()->geometry();
            QVERIFY2(client == QRect(0, window->menuBar()->height(), 497, 353) &&
                         client.bottom() == window->height() - 1,
                     language);
        }
    }

    void menusAsDesigned() {
        const auto window = LoadIn("en_US");
        QList<QAction*> bar = window->menuBar()->actions();
        QCOMPARE(bar.size(), 3);
        QCOMPARE(bar[0], window->mnuFile->menuAction());
        QCOMPARE(bar[2], window->mnuHelp->menuAction());
        QCOMPARE(window->mnuHelp->actions().last(), window->mnuLiveUpdate->menuAction());
        struct Item {
            QAction* action;
            const char* text;
            int id;
            const char* shortcut;
            bool enabled;
        };
        const Item items[] = {
            {window->mnuFile->menuAction(), "File", 100, "", true},
            {window->mnuOpen, "Open ROM...", 101, "Ctrl+O", true},
            {window->mnuExit, "Exit", 102, "Ctrl+Q", true},
            {window->mnuEdit->menuAction(), "Edit", 103, "", true},
            {window->mnuSearch, "Search", 104, "Ctrl+F", false},
            {window->mnuFindNext, "Find next", 105, "F3", false},
            {window->mnuCopy, "Copy", 106, "", false},
            {window->mnuHelp->menuAction(), "Help", 107, "", true},
            {window->mnuAbout, "About", 109, "", true},
            {window->mnuLiveUpdate->menuAction(), "Live Update", 10000, "", true},
            {window->mnuCheckNow, "Check Now...", 10024, "Ctrl+U", false},
            {window->mnuAutomaticallyCheck, "Automatically Check", 10025, "", true}};
        for (const Item& item : items) {
            QCOMPARE(item.action->text(), QString::fromLatin1(item.text));
            QCOMPARE(item.action->property("helpContextId").toInt(), item.id);
            QCOMPARE(item.action->shortcut(), QKeySequence(QString::fromLatin1(item.shortcut)));
            QCOMPARE(item.action->isEnabled(), item.enabled);
        }
        for (QAction* separator : {window->mnuSep1, window->mnuSep2, window->mnuSep3}) {
            QVERIFY(separator->isSeparator() && !separator->property("helpContextId").isValid());
        }
    }

    void tabOrderAndAccessibility() {
        const auto window = LoadIn("en_US");
        const QList<QWidget*> design = {
            window->cmdSearch,    window->cmdFindNext,    window->lstResult,
            window->cmdCopy,      window->txtDec,         window->txtHex,
            window->txtByteType,  window->txtNeededBytes, window->txtSearchInterval,
            window->optOffset[1], window->optOffset[0],   window->txtOffset};
        QList<QWidget*> chain;
        for (QWidget* w = window->cmdSearch; chain.size() < design.size();
             w = w->nextInFocusChain()) {
            if (design.contains(w)) {
                chain << w;
            }
        }
        QCOMPARE(chain, design);
        QCOMPARE(window->lblFreeSpace->buddy(), window->txtByteType);
        QCOMPARE(window->lblNeededBytes->buddy(), window->txtNeededBytes);
        QCOMPARE(window->lblSearchInterval->buddy(), window->txtSearchInterval);
        QCOMPARE(window->lblDec->buddy(), window->txtDec);
        QCOMPARE(window->lblHex->buddy(), window->txtHex);
        QCOMPARE(window->txtOffset->accessibleName(), window->optOffset[0]->text());
        QVERIFY(!window->lstResult->accessibleName().isEmpty());
        QVERIFY(!window->lblGameCode->accessibleName().isEmpty());
    }

    void localizedInGermanAndFrench() {
        const auto german = LoadIn("de_DE");
        QCOMPARE(german->fraOptions->title(), QStringLiteral("Suchoptionen"));
        QCOMPARE(german->mnuFile->title(), QStringLiteral("Datei"));
        QCOMPARE(german->cmdFindNext->text(), QString::fromStdString(gapwell::LoadString(7)));
        QCOMPARE(german->mnuCheckNow->text(), QString::fromStdString(gapwell::LoadString(10024)));
        QCOMPARE(german->windowTitle(), QStringLiteral("GPW - Gapwell"));
        QCOMPARE(german->lblGameCode->text(), QStringLiteral("ROM: ???"));
        QCOMPARE(german->fraHex->title(), QStringLiteral("Dec / Hex"));

        const auto french = LoadIn("fr_FR");
        QCOMPARE(french->mnuFile->title(), QStringLiteral("File"));
        QCOMPARE(french->mnuEdit->title(), QString::fromStdString(gapwell::LoadString(103)));
        QVERIFY(french->mnuEdit->title() != QStringLiteral("Edit"));
    }

    // Nothing the user reads may be cut off at the design sizes, in any language. One pixel is
    // allowed: the design sizes fit hinted glyph metrics, and the same font laid out unhinted runs
    // up to a pixel wider, which costs at most one faint edge column.
    void noTextClippedInAnyLanguage() {
        QStringList clipped;
        const auto check = [&clipped](const char* language, const QWidget* control,
                                      const QString& text, int room) {
            if (control->fontMetrics().horizontalAdvance(text) > room + 1) {
                clipped << QStringLiteral("%1 %2").arg(language).arg(control->objectName());
            }
        };
        for (const char* language : kLocales) {
            const auto window = LoadIn(language);
            for (const QLabel* label : window->findChildren<QLabel*>()) {
                check(language, label, label->text(), label->width());
            }
            for (const QPushButton* button : window->findChildren<QPushButton*>()) {
                const int margins = 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin);
                check(language, button, button->text(), button->width() - margins);
            }
            for (const QRadioButton* option : window->optOffset) {
                const QStyle* style = option->style();
                const int indicator = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                                      style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
                check(language, option, option->text(), option->width() - indicator);
            }
            // The frame's title sits between two short stretches of its border.
            check(language, window->fraOptions, window->fraOptions->title(),
                  window->fraOptions->width() - 16);
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral(", "))));
    }

    void isOpenMatchesPartOfLoadedWindowNames() {
        const auto window = LoadIn("en_US");
        QVERIFY(!window->IsOpen(QStringLiteral("frmUpdate")));
        QStringList closed;
        OtherWindow wizard("frmUpdate", closed);
        QVERIFY(window->IsOpen(QStringLiteral("frmUpdate")));
        QVERIFY(window->IsOpen(QStringLiteral("Upd")));
        QVERIFY(!window->IsOpen(QStringLiteral("frmupdate")));
        QVERIFY(window->IsOpen(QStringLiteral("frmMain")));
        LoadedForms::Remove(&wizard);
        QVERIFY(!window->IsOpen(QStringLiteral("frmUpdate")));
    }

    // Exit and the close box unload the other windows, the last loaded first; a window that
    // refuses to close does not keep the unload from ending.
    void unloadClosesOtherWindowsLastFirst() {
        QStringList closed;
        const auto window = LoadIn("en_US");
        window->show();
        OtherWindow about("frmAbout", closed);
        OtherWindow wizard("frmUpdate", closed, true);
        window->mnuExit->trigger();
        QCOMPARE(closed, QStringList({"frmUpdate", "frmAbout"}));
        QVERIFY(!window->isVisible());
        QVERIFY(LoadedForms::All().empty());

        const auto second = LoadIn("en_US");
        second->show();
        OtherWindow other("frmAbout", closed);
        gapwell::QtPlatform(gapwell::CloseMainWindow).UnloadMainWindow();
        QVERIFY(!second->isVisible());
        QCOMPARE(closed.size(), 3);
    }

    // Before the window, Main completes the undo of an installation that ended after it had set
    // the read-me aside.
    void mainShowsTheWindowAndReleasesItOnUnload() {
        const QDir folder(programFolder_.path());
        const QString work = QStringLiteral("Updates/.install-1");
        QVERIFY(folder.mkpath(work + "/incoming") && folder.mkpath(work + "/aside"));
        QVERIFY(QFile::setPermissions(folder.filePath(work),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QFile aside(folder.filePath(work + "/aside/readme.txt"));
        QVERIFY(aside.open(QIODevice::WriteOnly) && aside.write("old") == 3);
        aside.close();
        {
            const gapwell::UniqueFd workFolder =
                gapwell::OpenFolder(folder.filePath(work).toStdString());
            const auto lock = gapwell::InstallLock::Create(workFolder.Get());
            gapwell::InstallJournal journal(workFolder.Get(), lock, "GPW", std::string(64, '0'));
            journal.Record({gapwell::MoveKind::Aside, "readme.txt"});
        }

        gapwell::Main();
        QVERIFY(QFileInfo(folder.filePath("readme.txt")).isFile());
        QVERIFY(!QFileInfo::exists(folder.filePath(work)));
        QCOMPARE(LoadedForms::All().size(), std::size_t{1});
        QPointer<QWidget> window = LoadedForms::All().front();
        QCOMPARE(window->objectName(), QStringLiteral("frmMain"));
        QVERIFY(window->isVisible());
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
    }

    void setIconGivesOwnerAndWindowBothSizes() {
        QWidget top;
        QWidget middle(&top, Qt::Window);
        QWidget dialog(&middle, Qt::Dialog);
        IconChanges topChanges(&top);
        IconChanges dialogChanges(&dialog);
        gapwell::SetIcon(&dialog, QStringLiteral("AAA"), true);
        QCOMPARE(topChanges.count, 2);
        QCOMPARE(dialogChanges.count, 2);
        const int large = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
        const int small = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
        QVERIFY(dialog.windowIcon().availableSizes().contains(QSize(large, large)));
        QVERIFY(dialog.windowIcon().availableSizes().contains(QSize(small, small)));

        QWidget alone;
        IconChanges aloneChanges(&alone);
        gapwell::SetIcon(&alone, QStringLiteral("AAA"), true);
        QCOMPARE(aloneChanges.count, 4);  // as its own owner it is given each icon twice
        gapwell::SetIcon(&alone, QStringLiteral("AAA"), false);
        QCOMPARE(aloneChanges.count, 6);
        gapwell::SetIcon(&alone, QStringLiteral("missing"), false);
        QVERIFY(alone.windowIcon().availableSizes().isEmpty());
    }

    void taskDialogShowsCommonButtonsInOrder() {
        gapwell::QtPlatform qt;
        const gapwell::TaskDialogRequest report{"GPW", "File not found.", "mnuOpen_Click@frmMain",
                                                0x38, 0xFFFE};
        QStringList shown;
        const int closeAnswer = AnswerModal(
            [&](QWidget* box) {
                shown = ButtonTexts(box);
                ButtonWithText(box, QStringLiteral("&Close"))->click();
            },
            [&] { return qt.TaskDialog(report); });
        QCOMPARE(shown, QStringList({"&Retry", "Cancel", "&Close"}));
        QCOMPARE(closeAnswer, 8);
        const int escAnswer =
            AnswerModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); },
                        [&] { return qt.TaskDialog(report); });
        QCOMPARE(escAnswer, 2);
    }

    // Qt's own translations name the buttons in the user's language; without them (Slovenian)
    // the buttons stay English.
    void messageBoxButtonsInTheUserLanguage() {
        gapwell::QtPlatform qt;
        const gapwell::TaskDialogRequest report{"GPW", "File not found.", "mnuOpen_Click@frmMain",
                                                0x38, 0xFFFE};
        const auto shownButtons = [&] {
            QStringList shown;
            AnswerModal(
                [&](QWidget* box) {
                    shown = ButtonTexts(box);
                    QTest::keyClick(box, Qt::Key_Escape);
                },
                [&] { return qt.TaskDialog(report); });
            return shown;
        };
        QTranslator german;
        QVERIFY(gapwell::InstallToolkitTranslations(german, 1031));
        const QStringList inGerman = shownButtons();
        QApplication::removeTranslator(&german);
        QCOMPARE(inGerman, QStringList({"Wiederholen", "Abbrechen", "Schlie\u00DFen"}));

        QTranslator slovenian;
        QVERIFY(!gapwell::InstallToolkitTranslations(slovenian, 1060));
        QCOMPARE(shownButtons(), QStringList({"&Retry", "Cancel", "&Close"}));
    }

    void classicBoxKeepsButtonOrderDefaultAndEscape() {
        gapwell::QtPlatform qt;
        QStringList shown;
        QString defaultButton;
        const int answer = AnswerModal(
            [&](QWidget* box) {
                shown = ButtonTexts(box);
                defaultButton = static_cast<QMessageBox*>(box)->defaultButton()->text();
                QTest::keyClick(box, Qt::Key_Escape);  // no Cancel: Esc does nothing
                ButtonWithText(box, QStringLiteral("&Ignore"))->click();
            },
            [&] { return qt.ClassicMessageBox("File not found.\r\nx@y", "GPW", 0x112); });
        QCOMPARE(shown, QStringList({"&Abort", "&Retry", "&Ignore"}));
        QCOMPARE(defaultButton, QStringLiteral("&Retry"));
        QCOMPARE(answer, 5);
        const int cancelled =
            AnswerModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); },
                        [&] { return qt.ClassicMessageBox("Go on?", "GPW", 0x206); });
        QCOMPARE(cancelled, 2);
        QCOMPARE(qt.ClassicMessageBox("bad set", "GPW", 9), 0);
    }

    void openDialogTakesTitleFiltersAndStartFolder() {
        gapwell::OpenFileRequest request;
        request.title = "Opening ROM...";
        request.initialPath = programFolder_.path().toStdString();
        request.filters = {{"GameBoy Advance ROMs (*.gba, *.agb, *.bin)", "*.gba;*.agb;*.bin"},
                           {"All files", "*.*"}};
        request.filterIndex = 2;
        QString title;
        QStringList filters;
        QString selectedFilter;
        QString folder;
        const std::string chosen = AnswerModal(
            [&](QWidget* box) {
                auto* dialog = static_cast<QFileDialog*>(box);
                title = dialog->windowTitle();
                filters = dialog->nameFilters();
                selectedFilter = dialog->selectedNameFilter();
                folder = dialog->directory().absolutePath();
                dialog->reject();
            },
            [&] { return gapwell::QtPlatform().GetOpenFileName(request); });
        QCOMPARE(title, QStringLiteral("Opening ROM..."));
        QCOMPARE(filters,
                 QStringList({"GameBoy Advance ROMs (*.gba *.agb *.bin)", "All files (*.*)"}));
        QCOMPARE(selectedFilter, QStringLiteral("All files (*.*)"));
        QCOMPARE(folder, QDir(programFolder_.path()).absolutePath());
        QVERIFY(chosen.empty());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
