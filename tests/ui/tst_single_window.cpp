// The one loaded window of a kind: loading again gives back the loaded window, a window that
// unloads (accepts a close) or is destroyed is forgotten, and the next load then creates a fresh
// one.

#include <QTest>
#include <QWidget>
#include <memory>

#include "ui/SingleWindow.h"

namespace {

class ToolWindow : public QWidget {
    Q_OBJECT

  public:
    ToolWindow() { gapwell::OwnSingleWindow(this, {"ToolWindow", false}); }
};

}  // namespace

class TestSingleWindow : public QObject {
    Q_OBJECT

  private slots:
    void loadingTwiceGivesTheLoadedWindowUntilItUnloads() {
        int created = 0;
        const auto create = [&created] {
            ++created;
            return new ToolWindow;
        };
        QVERIFY(gapwell::LoadedForms::Find<ToolWindow>() == nullptr);
        std::unique_ptr<ToolWindow> first(&gapwell::LoadSingleWindow<ToolWindow>(create));
        QCOMPARE(&gapwell::LoadSingleWindow<ToolWindow>(create), first.get());
        QCOMPARE(gapwell::LoadedForms::Find<ToolWindow>(), first.get());
        QCOMPARE(created, 1);

        // Only the window that unloads leaves: another one closing changes nothing.
        ToolWindow().close();
        QCOMPARE(gapwell::LoadedForms::Find<ToolWindow>(), first.get());

        // Closed while it still exists: the next load creates a fresh window.
        first->close();
        QVERIFY(gapwell::LoadedForms::Find<ToolWindow>() == nullptr);
        std::unique_ptr<ToolWindow> second(&gapwell::LoadSingleWindow<ToolWindow>(create));
        QVERIFY(second.get() != first.get());
        QCOMPARE(created, 2);

        // Destroyed without unloading: forgotten as well.
        second.reset();
        QVERIFY(gapwell::LoadedForms::Find<ToolWindow>() == nullptr);
        std::unique_ptr<ToolWindow> third(&gapwell::LoadSingleWindow<ToolWindow>(create));
        QCOMPARE(created, 3);
    }

    // A window already shown behind another comes back in front with the keyboard.
    void showInFrontActivatesTheWindow() {
        QWidget window;
        QWidget other;
        gapwell::ShowInFront(&window);
        QVERIFY(window.isVisible());
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        gapwell::ShowInFront(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
};

QTEST_MAIN(TestSingleWindow)
#include "tst_single_window.moc"
