// The one loaded window of a kind: loading again gives back the loaded window, a window that
// unloads or is destroyed is forgotten, and the next load then creates a fresh one.

#include <QTest>
#include <QWidget>
#include <memory>

#include "ui/SingleWindow.h"

namespace {

class ToolWindow : public QWidget {};
using OneToolWindow = gapwell::SingleWindow<ToolWindow>;

}  // namespace

class TestSingleWindow : public QObject {
    Q_OBJECT

  private slots:
    void loadingTwiceGivesTheLoadedWindowUntilItIsForgotten() {
        int created = 0;
        const auto create = [&created] {
            ++created;
            return new ToolWindow;
        };
        QVERIFY(OneToolWindow::Loaded().isNull());
        std::unique_ptr<ToolWindow> first(&OneToolWindow::Load(create));
        QCOMPARE(&OneToolWindow::Load(create), first.get());
        QCOMPARE(OneToolWindow::Loaded().data(), first.get());
        QCOMPARE(created, 1);

        // Only the loaded window is forgotten: another one unloading changes nothing.
        ToolWindow other;
        OneToolWindow::Forget(&other);
        QCOMPARE(OneToolWindow::Loaded().data(), first.get());

        // Forgotten while it still exists: the next load creates a fresh window.
        OneToolWindow::Forget(first.get());
        QVERIFY(OneToolWindow::Loaded().isNull());
        std::unique_ptr<ToolWindow> second(&OneToolWindow::Load(create));
        QVERIFY(second.get() != first.get());
        QCOMPARE(created, 2);

        // Destroyed without unloading: forgotten as well.
        second.reset();
        QVERIFY(OneToolWindow::Loaded().isNull());
        std::unique_ptr<ToolWindow> third(&OneToolWindow::Load(create));
        QCOMPARE(created, 3);
        OneToolWindow::Forget(third.get());
    }

    // A window already shown behind another comes back in front with the keyboard.
    void showInFrontActivatesTheWindow() {
        ToolWindow window;
        ToolWindow other;
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
