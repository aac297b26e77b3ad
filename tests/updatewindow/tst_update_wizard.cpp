// The Live Update wizard on the offscreen platform, driven through its controls against the
// test's own HTTP server on 127.0.0.1.

#include <sodium.h>
#include <sys/stat.h>

#include <QAccessible>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "services/modLocalize.h"
#include "support/FakePlatform.h"
#include "support/FolderSnapshot.h"
#include "support/LoopbackServer.h"
#include "support/TestZip.h"
#include "ui/LoadedForms.h"
#include "update/WizardTexts.h"
#include "update/signature/ReleaseSignature.h"
#include "updatewindow/UpdateWizard.h"
#include "updatewindow/frmUpdate.h"

using gapwell::frmUpdate;
using gapwell::test::LoopbackServer;
using gapwell::test::Reply;

namespace {

const std::string kVersionPath = "/tarnwick/updates/GPW.txt";
const std::string kArchivePath = "/files/GPW.zip";

// A release key pair made for one test.
struct KeyPair {
    gapwell::ReleasePublicKey publicKey{};
    gapwell::ReleaseSecretKey secretKey{};
    KeyPair() {
        if (sodium_init() < 0) {
            qFatal("libsodium could not be initialised");
        }
        crypto_sign_keypair(publicKey.data(), secretKey.data());
    }
    std::string PublicBase64() const {
        return gapwell::EncodeBase64(publicKey.data(), publicKey.size());
    }
};

// The platform double whose pending messages can hold a user action, run once.
class WizardPlatform : public gapwell::FakePlatform {
  public:
    std::function<void()> nextMessage;

    // Runs `action` at the first pending messages at which `when` holds.
    void ActWhen(std::function<bool()> when, std::function<void()> action) {
        nextMessage = [this, when, action] {
            if (when()) {
                action();
            } else {
                ActWhen(when, action);
            }
        };
    }

    void DoEvents() override {
        FakePlatform::DoEvents();
        if (nextMessage) {
            const std::function<void()> message = std::move(nextMessage);
            nextMessage = nullptr;
            message();
        }
    }
};

QString Text(int id) {
    return QString::fromStdString(gapwell::LoadString(id));
}

void DeleteClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool IsLoaded(const QWidget* window) {
    return std::ranges::count(gapwell::LoadedForms::All(), window) > 0;
}

int VisibleStep(const frmUpdate* wizard) {
    int visible = -1;
    for (int index = 0; index < int(wizard->fraFrame.size()); ++index) {
        if (wizard->fraFrame[index]->isVisibleTo(wizard)) {
            visible = visible == -1 ? index : -2;
        }
    }
    return visible;
}

}  // namespace

class TestUpdateWizard : public QObject {
    Q_OBJECT

  private:
    WizardPlatform platform_;
    std::unique_ptr<QTemporaryDir> programFolder_;
    std::unique_ptr<QTemporaryDir> tempFolder_;
    std::unique_ptr<LoopbackServer> server_;
    std::unique_ptr<QWidget> owner_;

    QString UpdatesFolder() const { return programFolder_->filePath(QStringLiteral("Updates")); }
    gapwell::test::FolderSnapshot ProgramFolder() const {
        return gapwell::test::SnapshotFolder(programFolder_->path().toStdString());
    }
    QString ArchiveFile() const { return UpdatesFolder() + QStringLiteral("/GPW.zip"); }

    void ServeVersionLine(const std::string& line, Reply reply = Reply::kNormal) {
        server_->Serve(kVersionPath, line, reply);
    }
    void ServeUpdate(std::size_t archiveSize, Reply archiveReply = Reply::kNormal) {
        ServeVersionLine("Gapwell|1.2.4|" + server_->Url(kArchivePath));
        server_->Serve(kArchivePath, std::string(archiveSize, 'z'), archiveReply);
    }

    // "Check Now...": the attended wizard at its Welcome step.
    frmUpdate* OpenWizard() {
        gapwell::ShowUpdateWizard(owner_.get());
        frmUpdate* wizard = gapwell::LoadedForms::Find<frmUpdate>();
        if (wizard == nullptr) {
            qFatal("no wizard loaded");
        }
        return wizard;
    }

    // The attended wizard after Welcome and the version check.
    frmUpdate* CheckedWizard() {
        frmUpdate* wizard = OpenWizard();
        QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);
        return wizard;
    }

    // The attended wizard after the archive download.
    frmUpdate* DownloadedWizard() {
        frmUpdate* wizard = CheckedWizard();
        QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);
        return wizard;
    }

  private slots:
    void initTestCase() { gapwell::SetCurrentPlatform(&platform_); }

    void init() {
        programFolder_ = std::make_unique<QTemporaryDir>();
        tempFolder_ = std::make_unique<QTemporaryDir>();
        server_ = std::make_unique<LoopbackServer>();
        platform_ = WizardPlatform();
        platform_.programFolder = programFolder_->path().toStdString();
        platform_.tempFolder = tempFolder_->path().toStdString();
        platform_.defaultTaskDialogAnswer = 2;  // a reported failure is ignored
        qputenv("GAPWELL_UPDATE_URL", server_->Url("/tarnwick/updates/").c_str());
        owner_ = std::make_unique<QWidget>();
        owner_->show();
    }

    void cleanup() {
        if (frmUpdate* wizard = gapwell::LoadedForms::Find<frmUpdate>()) {
            delete wizard;
        }
        DeleteClosedWindows();
        QVERIFY2(QDir(tempFolder_->path()).isEmpty(), "a temporary version file was left");
        owner_.reset();
        server_.reset();
    }

    void updateFoundAndDownloaded() {
        ServeUpdate(358656);
        QDir().mkpath(UpdatesFolder() + QStringLiteral("/keep"));
        QFile stale(UpdatesFolder() + QStringLiteral("/old.zip"));
        QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write("old") == 3);
        stale.close();

        frmUpdate* wizard = OpenWizard();
        QCOMPARE(wizard->windowTitle(), Text(10000));
        QCOMPARE(VisibleStep(wizard), 0);
        QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);

        QCOMPARE(VisibleStep(wizard), 1);
        QVERIFY(server_->LastRequestHead().find("GET " + kVersionPath + " ") == 0);
        const int lineLength = int(("Gapwell|1.2.4|" + server_->Url(kArchivePath)).size());
        QCOMPARE(wizard->lblProgress->text(),
                 QStringLiteral("%1 / %1 bytes of configuration retrieved.").arg(lineLength));
        QVERIFY(wizard->lblYes->isVisibleTo(wizard) && !wizard->lblNo->isVisibleTo(wizard));
        QCOMPARE(wizard->lblThisVersion->text(), QStringLiteral("Your version: 1.2.3"));
        QCOMPARE(wizard->lblNewestVersion->text(), QStringLiteral("Newest version: 1.2.4"));
        QVERIFY(wizard->lblNewestVersion->font().bold() && !wizard->lblThisVersion->font().bold());
        QCOMPARE(wizard->lblNewestVersion->x(),
                 wizard->lblThisVersion->geometry().right() + 1 + 30);
        QVERIFY(wizard->cmdNext->isEnabled());

        QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);
        QCOMPARE(VisibleStep(wizard), 2);
        QCOMPARE(wizard->lblArchivePath->text(),
                 QString::fromStdString(gapwell::CompactPath(ArchiveFile().toStdString(), 70)));
        QCOMPARE(wizard->lblProgressUpdate->text(),
                 QStringLiteral("Download of 350.25 KB  complete."));
        QCOMPARE(wizard->cmdCancel->text(), QStringLiteral("Finish"));
        QVERIFY(!wizard->cmdNext->isEnabled());
        QFile archive(ArchiveFile());
        QVERIFY(archive.open(QIODevice::ReadOnly));
        QCOMPARE(archive.readAll(), QByteArray(358656, 'z'));
        QVERIFY(!QFile::exists(UpdatesFolder() + QStringLiteral("/old.zip")));
        QVERIFY(QDir(UpdatesFolder() + QStringLiteral("/keep")).exists());

        // Only Finish leaves the wizard now: neither the close box nor Escape closes it.
        wizard->close();
        QTest::keyClick(wizard->focusWidget(), Qt::Key_Escape);
        QVERIFY(wizard->isVisible() && IsLoaded(wizard));
        QCOMPARE(gapwell::LoadedForms::Find<frmUpdate>(), wizard);
    }

    // The installer is not part of this test: an archive that is no zip makes it fail. The
    // program then goes on, Finish can be pressed again, and the window may be closed.
    void finishWithAFailedInstallationKeepsTheProgram() {
        ServeUpdate(2048);
        frmUpdate* wizard = DownloadedWizard();
        QTest::mouseClick(wizard->cmdCancel, Qt::LeftButton);

        QCOMPARE(platform_.endProgramCalls, 0);
        QCOMPARE(platform_.unloadMainWindowCalls, 0);
        QVERIFY(!platform_.taskDialogs.empty());
        QVERIFY(platform_.taskDialogs.back().content.value_or("").find("DoUpdate@frmUpdate") !=
                std::string::npos);
        QVERIFY(wizard->cmdCancel->isEnabled());
        wizard->close();
        QVERIFY(!IsLoaded(wizard));
    }

    // A release that installs: the hand-over starts, the main window unloads and the program
    // ends with status 0 (an Abort ends it with 1).
    void finishWithASuccessfulInstallationEndsWithSuccess() {
        QFile program(programFolder_->filePath(QStringLiteral("GPW")));
        QVERIFY(program.open(QIODevice::WriteOnly) && program.write("old") == 3);
        program.close();
        const QString release = tempFolder_->filePath(QStringLiteral("release.zip"));
        gapwell::test::WriteZip(release.toStdString(), {{"GPW", "#!/bin/sh\n"}});
        QFile archive(release);
        QVERIFY(archive.open(QIODevice::ReadOnly));
        ServeVersionLine("Gapwell|1.2.4|" + server_->Url(kArchivePath));
        server_->Serve(kArchivePath, archive.readAll().toStdString());
        archive.remove();

        frmUpdate* wizard = DownloadedWizard();
        QTest::mouseClick(wizard->cmdCancel, Qt::LeftButton);

        QVERIFY(platform_.taskDialogs.empty());
        QCOMPARE(platform_.hiddenProcesses.size(), std::size_t(1));
        QCOMPARE(platform_.unloadMainWindowCalls, 1);
        QCOMPARE(platform_.endProgramCalls, 1);
        QCOMPARE(platform_.lastExitStatus, 0);
    }

    // An updates folder that is a link is reported; the wizard neither empties the link's target
    // nor downloads into it, and offers no Finish.
    void updatesFolderThatIsALinkIsLeftAlone() {
        ServeUpdate(4096);
        const QTemporaryDir elsewhere;
        QFile kept(elsewhere.filePath(QStringLiteral("keep.txt")));
        QVERIFY(kept.open(QIODevice::WriteOnly) && kept.write("kept") == 4);
        kept.close();
        QVERIFY(QFile::link(elsewhere.path(), UpdatesFolder()));

        frmUpdate* wizard = DownloadedWizard();

        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), QStringList{"keep.txt"});
        QVERIFY(server_->LastRequestHead().find("GET " + kVersionPath + " ") == 0);
        QVERIFY(!platform_.taskDialogs.empty());
        QCOMPARE(wizard->lblProgressUpdate->text(), Text(10023));
        QCOMPARE(wizard->cmdCancel->text(), Text(10010));
        wizard->close();
        QVERIFY(!IsLoaded(wizard));
    }

    // Notes for the version the user has stay hidden.
    void noUpdate() {
        ServeVersionLine("Gapwell|1.2.3|http://127.0.0.1/GPW.zip\r\nFaster search.");
        frmUpdate* wizard = CheckedWizard();

        QVERIFY(wizard->lblNo->isVisibleTo(wizard) && !wizard->lblYes->isVisibleTo(wizard));
        QVERIFY(!wizard->txtNotes->isVisibleTo(wizard) && !wizard->lblNotes->isVisibleTo(wizard));
        QCOMPARE(wizard->lblNo->text(),
                 QStringLiteral("No update available. Click Cancel to exit."));
        QVERIFY(wizard->lblThisVersion->font().bold() && !wizard->lblNewestVersion->font().bold());
        QCOMPARE(wizard->lblThisVersion->text(), QStringLiteral("Your version: 1.2.3"));
        QCOMPARE(wizard->lblNewestVersion->text(), QStringLiteral("Newest version: 1.2.3"));
        QVERIFY(!wizard->cmdNext->isEnabled());
        QCOMPARE(wizard->focusWidget(), wizard->cmdCancel);

        QTest::mouseClick(wizard->cmdCancel, Qt::LeftButton);
        QVERIFY(!wizard->isVisible() && !IsLoaded(wizard));
        QVERIFY(gapwell::LoadedForms::Find<frmUpdate>() == nullptr);
    }

    // Without notes the second step keeps its size and shows no box.
    void updateWithoutReleaseNotes() {
        ServeVersionLine("Gapwell|1.2.4|" + server_->Url(kArchivePath) + "\r\n\r\n \r\n");
        frmUpdate* wizard = OpenWizard();
        const QSize size = wizard->size();
        const QPoint next = wizard->cmdNext->pos();
        QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);

        QVERIFY(wizard->lblYes->isVisibleTo(wizard));
        QVERIFY(!wizard->txtNotes->isVisibleTo(wizard) && !wizard->lblNotes->isVisibleTo(wizard));
        QCOMPARE(wizard->size(), size);
        QCOMPARE(wizard->cmdNext->pos(), next);
    }

    void releaseNotes_data() {
        QTest::addColumn<QByteArray>("notes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("two lines") << QByteArray("Faster search.\r\nA map of free space.\r\n")
                                   << QStringLiteral("Faster search.\nA map of free space.");
        QTest::newRow("a line that looks like HTML")
            << QByteArray("<b>bold</b> <a href=\"file:///etc/passwd\">x</a><img src=x>")
            << QStringLiteral("<b>bold</b> <a href=\"file:///etc/passwd\">x</a><img src=x>");
        QTest::newRow("control characters") << QByteArray(
                                                   "a\x1B[2Jb\x07\x08"
                                                   "c\td")
                                            << QStringLiteral("a[2Jbc d");
        QTest::newRow("invalid UTF-8") << QByteArray("caf\xC3\xA9 \xFF\xC0\xAF!")
                                       << QStringLiteral("caf\u00E9 \uFFFD\uFFFD\uFFFD!");
    }

    // The notes are shown as they are written, as plain text in a read-only box below the
    // versions; the wizard grows by the box and its buttons move with it.
    void releaseNotes() {
        QFETCH(QByteArray, notes);
        QFETCH(QString, shown);
        ServeVersionLine("Gapwell|1.2.4|" + server_->Url(kArchivePath) + "\r\n" +
                         notes.toStdString());
        server_->Serve(kArchivePath, "zip");
        frmUpdate* wizard = OpenWizard();
        const QSize size = wizard->size();
        QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);

        QVERIFY(wizard->txtNotes->isVisibleTo(wizard) && wizard->lblNotes->isVisibleTo(wizard));
        QCOMPARE(wizard->lblNotes->text(), QStringLiteral("Release notes:"));
        // What assistive technology announces for the box.
        QCOMPARE(QAccessible::queryAccessibleInterface(wizard->txtNotes)->text(QAccessible::Name),
                 QStringLiteral("Release notes:"));
        QCOMPARE(wizard->txtNotes->toPlainText(), shown);
        QVERIFY(wizard->txtNotes->isReadOnly());
        QCOMPARE(wizard->txtNotes->document()->blockCount(),
                 int(shown.count(QLatin1Char('\n'))) + 1);
        QVERIFY(wizard->txtNotes->y() >= wizard->lblYes->geometry().bottom());
        QVERIFY(wizard->height() > size.height());
        QVERIFY(wizard->cmdNext->geometry().bottom() < wizard->height());
        QVERIFY(wizard->fraFrame[1]->geometry().bottom() < wizard->cmdNext->y());

        QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);
        QCOMPARE(VisibleStep(wizard), 2);
        QCOMPARE(wizard->cmdCancel->text(), QStringLiteral("Finish"));
    }

    // A version file filled to its bound by one line of notes: the update is offered, the box
    // holds the start of the line and ends with the cut mark.
    void longReleaseNotesAreCut() {
        const std::string line = "Gapwell|1.2.4|" + server_->Url(kArchivePath) + "\r\n";
        const std::string notes(65536 - line.size(), 'n');
        ServeVersionLine(line + notes);
        frmUpdate* wizard = CheckedWizard();

        QVERIFY(wizard->lblYes->isVisibleTo(wizard) && wizard->txtNotes->isVisibleTo(wizard));
        const QString shown = wizard->txtNotes->toPlainText();
        QVERIFY(shown.size() < 20000);
        QVERIFY(shown.startsWith(QString(1000, QLatin1Char('n'))));
        QVERIFY(shown.endsWith(QStringLiteral("\n[\u2026]")));
    }

    // The updates folder is "Updates" in every language, so that a start in any language finds
    // what an installation left there.
    void italianDownloadGoesToUpdates() {
        platform_.locale.lang = "it_IT.UTF-8";
        ServeUpdate(2048);
        DownloadedWizard();
        QVERIFY(QFile::exists(ArchiveFile()));
    }

    void germanReleaseNotesCaption() {
        platform_.locale.lang = "de_DE.UTF-8";
        ServeVersionLine("Gapwell|1.2.4|" + server_->Url(kArchivePath) + "\r\nSchneller.");
        frmUpdate* wizard = CheckedWizard();
        QCOMPARE(wizard->lblNotes->text(), QStringLiteral("Versionshinweise:"));
        QCOMPARE(wizard->txtNotes->toPlainText(), QStringLiteral("Schneller."));
    }

    void unusableVersionLine_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("four fields") << "a|1.2.4|http://h/GPW.zip|x";
        QTest::newRow("version with a letter") << "a|1.2.a|http://h/GPW.zip";
        QTest::newRow("capital extension") << "a|1.2.4|http://h/GPW.ZIP";
        QTest::newRow("name leaving the folder") << "a|1.2.4|http://h/..%2F..%2Fx.zip";
        QTest::newRow("name with a blank") << "a|1.2.4|http://h/G W.zip";
        QTest::newRow("empty first line") << "\r\na|1.2.4|http://h/GPW.zip";
        QTest::newRow("another program's archive") << "a|1.2.4|http://h/LICENSE.zip";
        QTest::newRow("scheme-less archive URL") << "a|1.2.4|//h/GPW.zip";
        QTest::newRow("control character") << "a|1.2.4|http://h/\x01/GPW.zip";
        QTest::newRow("ftp archive URL") << "a|1.2.4|ftp://h/GPW.zip";
    }

    // The window shows the error text and no update; the program folder stays as it was.
    void unusableVersionLine() {
        QFETCH(QString, line);
        ServeVersionLine(line.toStdString());
        const gapwell::test::FolderSnapshot before = ProgramFolder();
        frmUpdate* wizard = CheckedWizard();
        QCOMPARE(gapwell::test::SnapshotDifference(before, ProgramFolder()), std::string());

        QCOMPARE(wizard->lblProgress->text(),
                 QStringLiteral("Error connecting to host. Unable to complete Live Update."));
        QVERIFY(wizard->lblNo->isVisibleTo(wizard));
        QCOMPARE(wizard->lblNewestVersion->text(), QStringLiteral("Newest version: 0.0.0"));
        QVERIFY(!wizard->cmdNext->isEnabled());
    }

    void failedVersionCheck_data() {
        QTest::addColumn<int>("reply");
        QTest::newRow("no length") << int(Reply::kNoContentLength);
        QTest::newRow("dropped") << int(Reply::kDropMidBody);
        QTest::newRow("stalled") << int(Reply::kStall);
        QTest::newRow("over 64 KiB") << -1;
    }

    // The stalled server is given up after the version check's total bound, here made short.
    void failedVersionCheck() {
        QFETCH(int, reply);
        const std::string line = "Gapwell|1.2.4|http://127.0.0.1/GPW.zip\r\n";
        if (reply == -1) {
            ServeVersionLine(line + std::string(64 * 1024 + 1 - line.size(), ' '));
        } else {
            ServeVersionLine(line, Reply(reply));
        }
        frmUpdate* wizard = OpenWizard();
        wizard->SetVersionCheckBounds({std::chrono::milliseconds(1000),
                                       std::chrono::milliseconds(300), std::chrono::milliseconds(0),
                                       gapwell::kMaxVersionFileBytes});
        QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);

        QCOMPARE(VisibleStep(wizard), 1);
        QCOMPARE(wizard->lblProgress->text(),
                 QStringLiteral("Error connecting to host. Unable to complete Live Update."));
        QVERIFY(!wizard->lblNo->isVisibleTo(wizard) && !wizard->lblYes->isVisibleTo(wizard));
        QCOMPARE(wizard->lblThisVersion->text(), QStringLiteral("  "));
        QVERIFY(!wizard->cmdNext->isEnabled());
    }

    void archiveSizeUnit_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("completion");
        QTest::newRow("last kilobyte size") << 1048575 << "Download of 1024.00 KB  complete.";
        QTest::newRow("first megabyte size") << 1048576 << "Download of 1.00 MB  complete.";
    }

    void archiveSizeUnit() {
        QFETCH(int, size);
        QFETCH(QString, completion);
        ServeUpdate(std::size_t(size));
        QCOMPARE(DownloadedWizard()->lblProgressUpdate->text(), completion);
    }

    void germanDecimalSeparator() {
        platform_.locale.lang = "de_DE.UTF-8";
        ServeUpdate(358656);
        frmUpdate* wizard = DownloadedWizard();
        QCOMPARE(wizard->lblProgressUpdate->text(), Text(10016) + QStringLiteral(" 350,25 ") +
                                                        Text(10017) + QLatin1Char(' ') +
                                                        Text(10020));
        QCOMPARE(wizard->cmdCancel->text(), Text(10015));
    }

    void failedArchiveDownload() {
        ServeUpdate(65536, Reply::kDropMidBody);
        frmUpdate* wizard = DownloadedWizard();
        QCOMPARE(wizard->lblProgressUpdate->text(),
                 QStringLiteral("Error connecting to host. Unable to complete Live Update."));
        QCOMPARE(wizard->cmdCancel->text(), QStringLiteral("Cancel"));
        QVERIFY(!QFile::exists(ArchiveFile()));
        wizard->close();
        QVERIFY(!IsLoaded(wizard));
    }

    // With a public key the archive counts as downloaded only with the maker's signature over
    // this version and these bytes; anything else deletes it, shows the error text, offers no
    // Finish and leaves one record in Bug.log (and one more for a signature's error status).
    void signedRelease_data() {
        QTest::addColumn<QString>("signature");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("the maker's") << "valid" << true;
        QTest::newRow("archive changed by a byte") << "tampered" << false;
        QTest::newRow("for another version") << "other version" << false;
        QTest::newRow("by another key") << "other key" << false;
        QTest::newRow("missing: an error page") << "missing" << false;
        QTest::newRow("empty") << "empty" << false;
        QTest::newRow("garbage") << "garbage" << false;
        QTest::newRow("valid, but over 1 KiB") << "long" << false;
    }
    void signedRelease() {
        QFETCH(QString, signature);
        QFETCH(bool, accepted);
        const KeyPair maker;
        const KeyPair other;
        const std::string archive(4096, 'z');
        ServeUpdate(archive.size());
        const auto signatureOf = [&](const KeyPair& keys, const std::string& version) {
            const gapwell::ReleaseSignature bytes =
                gapwell::SignRelease(keys.secretKey, version, "GPW.zip",
                                     std::vector<std::uint8_t>(archive.begin(), archive.end()));
            return gapwell::EncodeBase64(bytes.data(), bytes.size()) + "\n";
        };
        const std::string sigPath = kArchivePath + ".sig";
        if (signature == "valid" || signature == "tampered") {
            server_->Serve(sigPath, signatureOf(maker, "1.2.4"));
        } else if (signature == "other version") {
            server_->Serve(sigPath, signatureOf(maker, "1.2.5"));
        } else if (signature == "other key") {
            server_->Serve(sigPath, signatureOf(other, "1.2.4"));
        } else if (signature == "empty") {
            server_->Serve(sigPath, "");
        } else if (signature == "garbage") {
            server_->Serve(sigPath, "not a signature\n");
        } else if (signature == "long") {
            server_->Serve(sigPath, signatureOf(maker, "1.2.4") + std::string(1024, ' '));
        }
        if (signature == "tampered") {
            server_->Serve(kArchivePath, "y" + archive.substr(1));
        }

        QVERIFY(QDir().mkpath(UpdatesFolder()));
        const gapwell::test::FolderSnapshot before = ProgramFolder();
        frmUpdate* wizard = OpenWizard();
        wizard->SetReleasePublicKey(maker.PublicBase64());
        QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);
        QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);

        const QString bugLog = programFolder_->filePath(QStringLiteral("Bug.log"));
        if (accepted) {
            QCOMPARE(wizard->cmdCancel->text(), Text(10015));
            QVERIFY(QFile::exists(ArchiveFile()));
            QVERIFY(!QFile::exists(bugLog));
            return;
        }
        QCOMPARE(wizard->lblProgressUpdate->text(), Text(10023));
        QCOMPARE(wizard->cmdCancel->text(), Text(10010));
        QVERIFY(!wizard->cmdNext->isEnabled());
        QVERIFY(!QFile::exists(ArchiveFile()));
        QFile log(bugLog);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> records = log.readAll().split('\n');
        // the records and the final line break
        QCOMPARE(records.size(), signature == "missing" ? 3 : 2);
        const QByteArray& refusal = records[records.size() - 2];
        QVERIFY(refusal.contains("|Updater_DownloadComplete|"));
        QVERIFY(refusal.contains("|frmUpdate|"));
        QVERIFY(platform_.taskDialogs.empty());
        gapwell::test::FolderSnapshot after = ProgramFolder();
        QCOMPARE(after.erase("Bug.log"), std::size_t(1));
        QCOMPARE(gapwell::test::SnapshotDifference(before, after), std::string());
        wizard->close();
        QVERIFY(!IsLoaded(wizard));
    }

    // A signature that never comes: Cancel, clicked while its transfer waits, ends it at once
    // (its bound would be 30 s); the archive goes, nothing is logged.
    void cancelWhileTheSignatureStalls() {
        const KeyPair maker;
        ServeUpdate(4096);
        server_->Serve(kArchivePath + ".sig", std::string(88, 'A'), Reply::kStall);
        frmUpdate* wizard = OpenWizard();
        wizard->SetReleasePublicKey(maker.PublicBase64());
        QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);
        const QPointer<frmUpdate> watched(wizard);
        platform_.ActWhen([&] { return QFile::exists(ArchiveFile()); },
                          [&] { QTest::mouseClick(wizard->cmdCancel, Qt::LeftButton); });

        QElapsedTimer elapsed;
        elapsed.start();
        QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);

        QVERIFY2(elapsed.elapsed() < 10000, "the signature's transfer went on after Cancel");
        QVERIFY(!watched.isNull() && !IsLoaded(watched));
        QVERIFY(!QFile::exists(ArchiveFile()));
        QVERIFY(!QFile::exists(programFolder_->filePath(QStringLiteral("Bug.log"))));
        DeleteClosedWindows();
        QVERIFY(watched.isNull());
    }

    // "Check Now..." waits for a host that answers after two seconds (the start-up check would
    // have given up), and Cancel ends a check that waits for a silent host at once.
    void attendedCheckWaitsForASlowHostAndCancelEndsIt() {
        ServeVersionLine("Gapwell|1.2.4|" + server_->Url(kArchivePath), Reply::kLate);
        frmUpdate* wizard = CheckedWizard();
        QVERIFY(wizard->lblYes->isVisibleTo(wizard) && wizard->cmdNext->isEnabled());
        wizard->close();

        ServeVersionLine("Gapwell|1.2.4|" + server_->Url(kArchivePath), Reply::kStall);
        wizard = OpenWizard();
        const QPointer<frmUpdate> watched(wizard);
        platform_.nextMessage = [&] { QTest::mouseClick(wizard->cmdCancel, Qt::LeftButton); };
        QElapsedTimer elapsed;
        elapsed.start();
        QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);
        QVERIFY2(elapsed.elapsed() < 10000, "the check went on after Cancel");
        QVERIFY(!watched.isNull() && !IsLoaded(watched));
        DeleteClosedWindows();
        QVERIFY(watched.isNull());
    }

    // The slow body would take over 20 s; Cancel, clicked while it runs, ends the transfer at
    // once, and the window goes away only after the transfer has returned.
    void cancelDuringTheArchiveDownload() {
        ServeUpdate(1 << 20, Reply::kSlowBody);
        frmUpdate* wizard = CheckedWizard();
        const QPointer<frmUpdate> watched(wizard);
        int messagesAtCancel = -1;
        platform_.ActWhen([&] { return !wizard->lblProgressUpdate->text().isEmpty(); },
                          [&] {
                              messagesAtCancel = platform_.doEventsCalls;
                              QTest::mouseClick(wizard->cmdCancel, Qt::LeftButton);
                          });

        QElapsedTimer elapsed;
        elapsed.start();
        QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);

        QVERIFY2(elapsed.elapsed() < 10000, "the transfer went on after Cancel");
        QVERIFY(messagesAtCancel > 0);
        // Cancel's own pending messages, and nothing from the transfer afterwards.
        QCOMPARE(platform_.doEventsCalls, messagesAtCancel + 1);
        QVERIFY(!watched.isNull() && !watched->isVisible() && !IsLoaded(watched));
        QVERIFY(gapwell::LoadedForms::Find<frmUpdate>() == nullptr);
        QVERIFY(watched->lblProgressUpdate->text().endsWith(QStringLiteral("downloaded...")));
        QVERIFY(!QFile::exists(ArchiveFile()));
        DeleteClosedWindows();
        QVERIFY(watched.isNull());
    }

    QString SkipRecord() const {
        return programFolder_->filePath(QStringLiteral("skipversion.dat"));
    }

    // The start-up check; returns the wizard it left loaded (none when it found nothing to offer).
    frmUpdate* StartUpCheck() {
        QTimer showTimer;
        showTimer.setInterval(60000);
        gapwell::RunUnattendedUpdateCheck(owner_.get(), &showTimer);
        frmUpdate* wizard = gapwell::LoadedForms::Find<frmUpdate>();
        if (showTimer.isActive() != (wizard != nullptr)) {
            qFatal("the show timer and the loaded wizard disagree");
        }
        return wizard;
    }

    // Skip at start-up, then: the same version at the next start is not offered, "Check Now..."
    // offers it marked as skipped, and a newer one is offered at start-up as usual.
    void skipThisVersion() {
        ServeUpdate(4096);
        frmUpdate* wizard = StartUpCheck();
        QVERIFY(wizard != nullptr);
        gapwell::ShowUpdateWizard(owner_.get());  // as the show timer does
        QVERIFY(wizard->isVisible() && wizard->cmdSkip->isVisible());
        QCOMPARE(wizard->cmdSkip->text(), QStringLiteral("Skip this version"));
        QVERIFY(wizard->cmdNext->isVisible() && wizard->cmdCancel->isVisible());
        QVERIFY(wizard->cmdSkip->geometry().right() < wizard->cmdCancel->x());
        QTest::mouseClick(wizard->cmdSkip, Qt::LeftButton);
        QVERIFY(!IsLoaded(wizard));
        QVERIFY(platform_.taskDialogs.empty());
        QFile record(SkipRecord());
        QVERIFY(record.open(QIODevice::ReadOnly));
        QCOMPARE(record.readAll(), QByteArray("1.2.4\n"));
        QVERIFY(!QFile::exists(programFolder_->filePath(QStringLiteral("autoupdate.dat"))));
        DeleteClosedWindows();

        QVERIFY(StartUpCheck() == nullptr);

        frmUpdate* attended = CheckedWizard();
        QCOMPARE(attended->lblNewestVersion->text(),
                 QStringLiteral("Newest version: 1.2.4 (skipped)"));
        QVERIFY(attended->lblNewestVersion->geometry().right() < attended->fraFrame[1]->width());
        QVERIFY(attended->cmdNext->isEnabled() && !attended->cmdSkip->isVisibleTo(attended));
        attended->close();
        DeleteClosedWindows();

        ServeVersionLine("Gapwell|1.2.5|" + server_->Url(kArchivePath));
        frmUpdate* newer = StartUpCheck();
        QVERIFY(newer != nullptr);
        QCOMPARE(newer->lblNewestVersion->text(), QStringLiteral("Newest version: 1.2.5"));
        QVERIFY(newer->cmdSkip->isVisibleTo(newer));
    }

    // With notes, the skip button moves down with Cancel and Next, below the grown frame.
    void skipMovesDownWithTheNotes() {
        ServeVersionLine("Gapwell|1.2.4|" + server_->Url(kArchivePath) + "\r\nFaster search.");
        frmUpdate* wizard = StartUpCheck();
        QVERIFY(wizard != nullptr);
        gapwell::ShowUpdateWizard(owner_.get());
        QVERIFY(wizard->txtNotes->isVisible() && wizard->cmdSkip->isVisible());
        QCOMPARE(wizard->cmdSkip->y(), wizard->cmdNext->y());
        QVERIFY(wizard->cmdSkip->y() > wizard->fraFrame[1]->geometry().bottom());
    }

    // Next after the start-up offer downloads as usual; the skip button goes with step 2.
    void nextAfterTheStartUpOfferHidesSkip() {
        ServeUpdate(4096);
        frmUpdate* wizard = StartUpCheck();
        QVERIFY(wizard != nullptr);
        gapwell::ShowUpdateWizard(owner_.get());
        QTest::mouseClick(wizard->cmdNext, Qt::LeftButton);
        QCOMPARE(VisibleStep(wizard), 2);
        QVERIFY(!wizard->cmdSkip->isVisible());
        QCOMPARE(wizard->cmdCancel->text(), QStringLiteral("Finish"));
        QVERIFY(!QFile::exists(SkipRecord()));
    }

    void germanSkipTexts() {
        platform_.locale.lang = "de_DE.UTF-8";
        ServeUpdate(4096);
        frmUpdate* wizard = StartUpCheck();
        QVERIFY(wizard != nullptr);
        QCOMPARE(wizard->cmdSkip->text(), QStringLiteral("Diese Version \u00FCberspringen"));
        QTest::mouseClick(wizard->cmdSkip, Qt::LeftButton);
        DeleteClosedWindows();
        frmUpdate* attended = CheckedWizard();
        QCOMPARE(attended->lblNewestVersion->text(),
                 Text(10014) + QStringLiteral(" 1.2.4 (\u00FCbersprungen)"));
        QVERIFY(attended->lblNewestVersion->geometry().right() < attended->fraFrame[1]->width());
    }

    void skippedMarkFitsTheFrame_data() {
        QTest::addColumn<QString>("locale");
        for (const char* code :
             {"da", "de", "en", "fi", "fr", "it", "nl", "sk", "sl", "zh", "es"}) {
            QTest::newRow(code) << QStringLiteral("%1_XX.UTF-8").arg(QLatin1String(code));
        }
    }

    // In every language the newest version, marked as skipped, stays inside the step's frame.
    void skippedMarkFitsTheFrame() {
        QFETCH(QString, locale);
        platform_.locale.lang = locale.toStdString();
        std::ofstream(SkipRecord().toStdString()) << "1.2.4\n";
        ServeUpdate(4096);
        frmUpdate* wizard = CheckedWizard();
        QVERIFY(wizard->lblNewestVersion->text().endsWith(Text(10028)));
        QVERIFY(wizard->lblNewestVersion->geometry().right() < wizard->fraFrame[1]->width());
    }

    void damagedSkipRecord_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("garbage") << 0;
        QTest::newRow("huge") << 1;
        QTest::newRow("link to a record") << 2;
        QTest::newRow("FIFO") << 3;
        QTest::newRow("folder") << 4;
    }

    // A record that is not a plain small file naming a version means nothing is skipped: the
    // start-up check offers the update; Skip still closes the wizard without an error box.
    void damagedSkipRecord() {
        QFETCH(int, kind);
        const std::string record = SkipRecord().toStdString();
        switch (kind) {
            case 0:
                std::ofstream(record) << "1.2.4\x01garbage";
                break;
            case 1:
                std::ofstream(record) << std::string(1 << 20, '1') + "1.2.4";
                break;
            case 2:
                QVERIFY(QFile::link(SkipRecord() + QStringLiteral(".real"), SkipRecord()));
                std::ofstream(record + ".real") << "1.2.4\n";
                break;
            case 3:
                QCOMPARE(::mkfifo(record.c_str(), 0600), 0);
                break;
            default:
                QVERIFY(QDir().mkpath(SkipRecord()));
                break;
        }
        ServeUpdate(4096);
        frmUpdate* wizard = StartUpCheck();
        QVERIFY(wizard != nullptr);
        QTest::mouseClick(wizard->cmdSkip, Qt::LeftButton);
        QVERIFY(!IsLoaded(wizard));
        QVERIFY(platform_.taskDialogs.empty());
        if (kind == 4) {
            QVERIFY(QFileInfo(SkipRecord()).isDir());
            return;
        }
        // Whatever was planted is replaced by the record, never written through.
        QVERIFY(!QFileInfo(SkipRecord()).isSymLink());
        QFile written(SkipRecord());
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray("1.2.4\n"));
        if (kind == 2) {
            QFile target(SkipRecord() + QStringLiteral(".real"));
            QVERIFY(target.open(QIODevice::ReadOnly));
            QCOMPARE(target.readAll(), QByteArray("1.2.4\n"));
        }
    }

    void unattendedCheck_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("reply");
        QTest::addColumn<bool>("found");
        QTest::newRow("update") << "Gapwell|1.2.4|http://127.0.0.1/GPW.zip" << int(Reply::kNormal)
                                << true;
        QTest::newRow("same version")
            << "Gapwell|1.2.3|http://127.0.0.1/GPW.zip" << int(Reply::kNormal) << false;
        QTest::newRow("no connection")
            << "Gapwell|1.2.4|http://127.0.0.1/GPW.zip" << int(Reply::kDropMidBody) << false;
        QTest::newRow("host slower than the start-up bound")
            << "Gapwell|1.2.4|http://127.0.0.1/GPW.zip" << int(Reply::kLate) << false;
        QTest::newRow("another program's archive")
            << "Gapwell|1.2.4|http://127.0.0.1/LICENSE.zip" << int(Reply::kNormal) << false;
    }

    // Hidden throughout: an update starts the owner's timer and keeps the wizard loaded at its
    // second step; anything else unloads it without a word.
    void unattendedCheck() {
        QFETCH(QString, line);
        QFETCH(int, reply);
        QFETCH(bool, found);
        ServeVersionLine(line.toStdString(), Reply(reply));
        QTimer showTimer;
        showTimer.setInterval(60000);

        gapwell::RunUnattendedUpdateCheck(owner_.get(), &showTimer);

        const QPointer<frmUpdate> wizard = gapwell::LoadedForms::Find<frmUpdate>();
        QCOMPARE(showTimer.isActive(), found);
        QCOMPARE(!wizard.isNull(), found);
        QVERIFY(platform_.taskDialogs.empty());
        QVERIFY(std::ranges::none_of(gapwell::LoadedForms::All(), &QWidget::isVisible));
        if (found) {
            QCOMPARE(VisibleStep(wizard), 1);
            QVERIFY(wizard->lblYes->isVisibleTo(wizard) && wizard->cmdNext->isEnabled());
            QVERIFY(wizard->IsUnattended);
        }
    }
};

QTEST_MAIN(TestUpdateWizard)
#include "tst_update_wizard.moc"
