// The main window's Live Update menu, the automatic check at start-up with its setting file,
// and the timer that shows a found update; the update server is the test's own on 127.0.0.1.

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>

#include "app/frmMain.h"
#include "support/FakePlatform.h"
#include "support/FolderSnapshot.h"
#include "support/LoadedWindows.h"
#include "support/LoopbackServer.h"
#include "updatewindow/frmUpdate.h"

using gapwell::frmMain;
using gapwell::frmUpdate;
using gapwell::test::LoopbackServer;

namespace {

const std::string kVersionPath = "/tarnwick/updates/GPW.txt";

using gapwell::test::LoadedWindows;

void CloseAll() {
    for (QWidget* form : LoadedWindows()) {
        form->close();
    }
    gapwell::test::UnloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class TestLiveUpdateMenu : public QObject {
    Q_OBJECT

  private:
    gapwell::FakePlatform platform_;
    std::unique_ptr<QTemporaryDir> programFolder_;
    std::unique_ptr<LoopbackServer> server_;

    QString SettingFile() const {
        return programFolder_->filePath(QStringLiteral("autoupdate.dat"));
    }

    void WriteSetting(const QByteArray& bytes) const {
        QFile file(SettingFile());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            qFatal("cannot write the setting");
        }
    }

    std::optional<QByteArray> Setting() const {
        QFile file(SettingFile());
        if (!file.open(QIODevice::ReadOnly)) {
            return std::nullopt;
        }
        return file.readAll();
    }

    void ServeNewestVersion(const char* version) {
        server_->Serve(kVersionPath,
                       std::string("Gapwell|") + version + "|http://127.0.0.1/files/GPW.zip");
    }

    void OpenLiveUpdateMenu(frmMain& window) { emit window.mnuLiveUpdate->aboutToShow(); }

  private slots:
    void initTestCase() { gapwell::SetCurrentPlatform(&platform_); }

    void init() {
        programFolder_ = std::make_unique<QTemporaryDir>();
        server_ = std::make_unique<LoopbackServer>();
        platform_.programFolder = programFolder_->path().toStdString();
        platform_.online = true;
        qputenv("GAPWELL_UPDATE_URL", server_->Url("/tarnwick/updates/").c_str());
        ServeNewestVersion("1.2.3");
    }

    void cleanup() {
        CloseAll();
        platform_.fileLocations.reset();
        server_.reset();
    }

    void settingAtStartUp_data() {
        QTest::addColumn<std::optional<QByteArray>>("setting");
        QTest::addColumn<bool>("on");
        QTest::newRow("missing") << std::optional<QByteArray>() << true;
        QTest::newRow("0") << std::optional<QByteArray>(QByteArray("\0\1", 2)) << false;
        QTest::newRow("2") << std::optional<QByteArray>(QByteArray("\2", 1)) << true;
        QTest::newRow("empty") << std::optional<QByteArray>(QByteArray()) << false;
    }

    // When on, the check runs while the window loads; finding no update, the wizard unloads
    // itself and nothing of it is seen. Reading never creates or changes the file.
    void settingAtStartUp() {
        QFETCH(std::optional<QByteArray>, setting);
        QFETCH(bool, on);
        if (setting) {
            WriteSetting(*setting);
        }
        const auto window = std::make_unique<frmMain>();

        QCOMPARE(window->mnuAutomaticallyCheck->isChecked(), on);
        QCOMPARE(server_->RequestCount(), on ? 1 : 0);
        QVERIFY(LoadedWindows<frmUpdate>().isEmpty());
        QVERIFY(!window->tmrShowUpdate->isActive());
        QCOMPARE(Setting(), setting);
    }

    void toggleWritesTheFirstByte() {
        WriteSetting(QByteArray("\1rest", 5));
        const auto window = std::make_unique<frmMain>();

        window->mnuAutomaticallyCheck->trigger();
        QVERIFY(!window->mnuAutomaticallyCheck->isChecked());
        QCOMPARE(Setting(), std::optional<QByteArray>(QByteArray("\0rest", 5)));
        window->mnuAutomaticallyCheck->trigger();
        QVERIFY(window->mnuAutomaticallyCheck->isChecked());
        QCOMPARE(Setting(), std::optional<QByteArray>(QByteArray("\1rest", 5)));
    }

    void toggleCreatesAMissingFile() {
        const auto window = std::make_unique<frmMain>();
        window->mnuAutomaticallyCheck->trigger();
        QCOMPARE(Setting(), std::optional<QByteArray>(QByteArray("\0", 1)));
    }

    // The unattended check finds an update: the wizard waits hidden at its second step until
    // the timer shows it, once.
    void foundUpdateShownByTheTimer() {
        ServeNewestVersion("1.2.4");
        const auto window = std::make_unique<frmMain>();
        window->show();

        QCOMPARE(LoadedWindows<frmUpdate>().size(), 1);
        const QPointer<frmUpdate> wizard = LoadedWindows<frmUpdate>().front();
        QVERIFY(window->tmrShowUpdate->isActive() && !wizard->isVisible() && wizard->IsUnattended);

        QTRY_VERIFY_WITH_TIMEOUT(wizard->isVisible(), 5000);
        QVERIFY(!wizard->IsUnattended);
        QVERIFY(!window->tmrShowUpdate->isActive());
        QCOMPARE(wizard->parentWidget(), window.get());
        QVERIFY(!wizard->isModal());
        QVERIFY(wizard->fraFrame[1]->isVisible() && wizard->lblYes->isVisible());
        QVERIFY(wizard->cmdNext->isEnabled());
        QCOMPARE(server_->RequestCount(), 1);
    }

    void hostileVersionFileAtStartUp_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("another program's archive")
            << QByteArray("Gapwell|1.2.4|http://127.0.0.1/files/LICENSE.zip\r\n");
        QTest::newRow("control character in the URL")
            << QByteArray("Gapwell|1.2.4|http://127.0.0.1/\x1b/GPW.zip\r\n");
        QTest::newRow("scheme-less URL") << QByteArray("Gapwell|1.2.4|//127.0.0.1/GPW.zip\r\n");
        QTest::newRow("separators over 64 KiB") << QByteArray(64 * 1024 + 1, '|');
    }

    // The check at start-up takes nothing a server cannot be trusted with: no wizard appears
    // and the program folder stays as it was.
    void hostileVersionFileAtStartUp() {
        QFETCH(QByteArray, file);
        server_->Serve(kVersionPath, file.toStdString());
        const gapwell::test::FolderSnapshot before =
            gapwell::test::SnapshotFolder(programFolder_->path().toStdString());
        const auto window = std::make_unique<frmMain>();

        QCOMPARE(server_->RequestCount(), 1);
        QVERIFY(LoadedWindows<frmUpdate>().isEmpty());
        QVERIFY(!window->tmrShowUpdate->isActive());
        QCOMPARE(gapwell::test::SnapshotDifference(
                     before, gapwell::test::SnapshotFolder(programFolder_->path().toStdString())),
                 std::string());
    }

    void checkNowState_data() {
        QTest::addColumn<bool>("online");
        QTest::addColumn<bool>("wizardOpen");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("online") << true << false << true;
        QTest::newRow("offline") << false << false << false;
        QTest::newRow("wizard open") << true << true << false;
    }

    void checkNowState() {
        QFETCH(bool, online);
        QFETCH(bool, wizardOpen);
        QFETCH(bool, enabled);
        WriteSetting(QByteArray("\0", 1));
        const auto window = std::make_unique<frmMain>();
        QVERIFY(!window->mnuCheckNow->isEnabled());
        OpenLiveUpdateMenu(*window);
        if (wizardOpen) {
            window->mnuCheckNow->trigger();
        }

        platform_.online = online;
        OpenLiveUpdateMenu(*window);
        QCOMPARE(window->mnuCheckNow->isEnabled(), enabled);
    }

    // "Check Now..." shows one attended wizard at Welcome, owned by the main window and not
    // modal; choosing it again brings the same one forward.
    // A copy installed where the user cannot write leaves updating to the package system: no
    // check at start-up, whatever the setting, and both menu entries stay disabled.
    void installedCopyNeverUpdatesItself() {
        QTemporaryDir config;
        platform_.fileLocations = gapwell::FileLocations{programFolder_->path().toStdString(),
                                                         config.path().toStdString(), false};
        const auto window = std::make_unique<frmMain>();

        QCOMPARE(server_->RequestCount(), 0);
        QVERIFY(LoadedWindows<frmUpdate>().isEmpty());
        QVERIFY(!window->mnuAutomaticallyCheck->isEnabled());
        OpenLiveUpdateMenu(*window);
        QVERIFY(!window->mnuCheckNow->isEnabled());
        QVERIFY(!QFile::exists(SettingFile()));
    }

    // The setting of an installed copy lives in the user's configuration folder.
    void settingOfAnInstalledCopyLivesInTheConfigFolder() {
        QTemporaryDir config;
        const QString folder = config.filePath(QStringLiteral("io.example.Gapwell"));
        platform_.fileLocations = gapwell::FileLocations{programFolder_->path().toStdString(),
                                                         folder.toStdString(), true};
        const auto window = std::make_unique<frmMain>();
        window->mnuAutomaticallyCheck->trigger();

        QFile setting(folder + QStringLiteral("/autoupdate.dat"));
        QVERIFY(setting.open(QIODevice::ReadOnly));
        QCOMPARE(setting.readAll(), QByteArray("\0", 1));
        QVERIFY(!QFile::exists(SettingFile()));
    }

    void checkNowShowsOneWizard() {
        WriteSetting(QByteArray("\0", 1));
        const auto window = std::make_unique<frmMain>();
        OpenLiveUpdateMenu(*window);
        window->mnuCheckNow->trigger();
        window->mnuCheckNow->trigger();

        QCOMPARE(LoadedWindows<frmUpdate>().size(), 1);
        frmUpdate* wizard = LoadedWindows<frmUpdate>().front();
        QVERIFY(wizard->isVisible() && !wizard->isModal() && !wizard->IsUnattended);
        QCOMPARE(wizard->parentWidget(), window.get());
        QVERIFY(wizard->fraFrame[0]->isVisible());
        QVERIFY(window->IsOpen(QStringLiteral("frmUpdate")));
        QCOMPARE(server_->RequestCount(), 0);
    }
};

QTEST_MAIN(TestLiveUpdateMenu)
#include "tst_live_update_menu.moc"
