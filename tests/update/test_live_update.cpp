// The whole Live Update sequence without a window (check, fetch and accept the archive,
// install) against the test's own server on 127.0.0.1. Whatever the server sends, a refusal
// leaves the program folder exactly as it was.
#include <gtest/gtest.h>
#include <sodium.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/FolderSnapshot.h"
#include "support/LoopbackServer.h"
#include "support/TestZip.h"
#include "support/TlsLoopback.h"
#include "update/InstallFixture.h"
#include "update/LiveUpdate.h"
#include "update/signature/ReleaseSignature.h"
#include "update/transfer/clsDownload.h"

namespace gapwell {
namespace {

namespace fs = std::filesystem;
using test::Reply;

constexpr int kAnswerRetry = 4;

// The platform double that runs a repair before it answers a report.
class RepairingPlatform : public FakePlatform {
  public:
    std::function<void()> repair;
    int TaskDialog(const TaskDialogRequest& request) override {
        if (repair) {
            repair();
        }
        return FakePlatform::TaskDialog(request);
    }
};

class LiveUpdateTest : public test::InstallFixture {
  protected:
    void SetUp() override {
        InstallFixture::SetUp();
        SetCurrentPlatform(&repairing);
        repairing.programFolder = platform.programFolder;
        ASSERT_GE(sodium_init(), 0);
        crypto_sign_keypair(publicKey.data(), secretKey.data());
        test::WriteZip(release, {{"GPW", kNewProgram}, {"readme.txt", "new read-me"}});
        releaseBytes = test::ReadText(release);
        before = test::SnapshotFolder(folder.Path());
    }

    LiveUpdateSettings Settings() const {
        LiveUpdateSettings settings;
        settings.currentVersion = "1.2.3";
        settings.versionUrl = server.Url("/tarnwick/updates/GPW.txt");
        settings.rules = ArchiveRules{server.Url("/tarnwick/updates/"), "GPW"};
        settings.versionTempFile = (temp.Path() / "_upd957k.tmp").string();
        settings.signatureTempFile = (temp.Path() / "_sig957k.tmp").string();
        settings.updatesFolder = UpdatesFolder();
        settings.publicKey = EncodeBase64(publicKey.data(), publicKey.size());
        return settings;
    }

    std::string SignatureFor(const std::string& bytes, const std::string& version,
                             const std::string& archiveName = "GPW.zip") const {
        const ReleaseSignature signature = SignRelease(
            secretKey, version, archiveName, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        return EncodeBase64(signature.data(), signature.size()) + "\r\n";
    }

    // The maker's release as the version line names it, signed for 1.2.4.
    void ServeRelease(const std::string& archiveName = "GPW.zip") {
        server.Serve("/tarnwick/updates/GPW.txt",
                     "Gapwell|1.2.4|" + server.Url("/files/" + archiveName) + "\r\n");
        server.Serve("/files/" + archiveName, releaseBytes);
        server.Serve("/files/" + archiveName + ".sig",
                     SignatureFor(releaseBytes, "1.2.4", archiveName));
    }

    void ExpectProgramFolderUnchanged(bool refusalLogged) {
        test::FolderSnapshot after = test::SnapshotFolder(folder.Path());
        EXPECT_EQ(after.erase("Bug.log"), refusalLogged ? 1U : 0U);
        EXPECT_EQ(before, after) << test::SnapshotDifference(before, after);
        EXPECT_TRUE(fs::is_empty(temp.Path())) << "a temporary file was left";
    }

    RepairingPlatform repairing;
    test::LoopbackServer server;
    test::TempFolder temp;
    test::TempFolder maker;
    clsDownload downloader;
    ReleasePublicKey publicKey{};
    ReleaseSecretKey secretKey{};
    std::string release = (maker.Path() / "GPW.zip").string();
    std::string releaseBytes;
    test::FolderSnapshot before;
};

TEST_F(LiveUpdateTest, SignedReleaseIsCheckedFetchedAcceptedAndInstalled) {
    ServeRelease();
    LiveUpdate update(downloader, Settings());

    const VersionCheck check = update.CheckForUpdate(kAttendedCheckBounds);
    ASSERT_TRUE(check.updateAvailable);
    EXPECT_EQ(check.offer.newestVersion, "1.2.4");
    EXPECT_EQ(update.ArchivePath(), UpdatesFolder() + "GPW.zip");
    EXPECT_EQ(update.FetchArchive().totalBytes, static_cast<std::int32_t>(releaseBytes.size()));
    EXPECT_EQ(test::ReadText(update.ArchivePath()), releaseBytes);
    EXPECT_TRUE(fs::is_empty(temp.Path()));

    EXPECT_TRUE(update.Install());
    EXPECT_EQ(repairing.hiddenProcesses.size(), 1U);
    EXPECT_TRUE(repairing.taskDialogs.empty());
}

// Lines a server may send that offer nothing: another program's archive (its name is not
// signed), a scheme-less, control-character or non-http archive URL, and version files too
// long to be one.
TEST_F(LiveUpdateTest, RefusedVersionFilesChangeNothing) {
    const std::string files = server.Url("/files/");
    const std::string refused[] = {
        "Gapwell|1.2.4|" + files + "LICENSE.zip",
        "Gapwell|1.2.4|" + files.substr(5) + "GPW.zip",
        "Gapwell|1.2.4|" + files + "\x01/GPW.zip",
        "Gapwell|1.2.4|" + files + "GPW.zip" + std::string(1, '\0'),
        "Gapwell|1.2.4|file:///etc/GPW.zip",
        "Gapwell|1.2.4|" + files + "GPW.zip\r\n" + std::string(64 * 1024, ' '),
        std::string(1 << 20, '|'),
        "Gapwell|" + std::string(1 << 20, '.') + "|" + files + "GPW.zip",
    };
    server.Serve("/files/LICENSE.zip", releaseBytes);
    server.Serve("/files/LICENSE.zip.sig", SignatureFor(releaseBytes, "1.2.4"));
    for (const std::string& line : refused) {
        server.Serve("/tarnwick/updates/GPW.txt", line);
        LiveUpdate update(downloader, Settings());
        EXPECT_FALSE(update.CheckForUpdate(kAttendedCheckBounds).updateAvailable)
            << line.substr(0, 80);
        EXPECT_EQ(update.FetchArchive(), FetchedArchive{ArchiveFetch::NoUpdate});
        EXPECT_FALSE(update.Install());
    }
    EXPECT_EQ(server.RequestCount(), 8);  // the version files only
    ExpectProgramFolderUnchanged(false);
}

// Under an https update folder (the https front of the test's server) an http archive is
// refused before any request for it and nothing is installed; the same line naming the archive
// on the https front installs it.
TEST_F(LiveUpdateTest, HttpsFolderRefusesAnHttpArchive) {
    const test::TlsLoopback tls(server);
    downloader.SetCertificateAuthorities(tls.CaFile());
    LiveUpdateSettings settings = Settings();
    settings.versionUrl = tls.Url("/tarnwick/updates/GPW.txt");
    settings.rules.updateFolderUrl = tls.Url("/tarnwick/updates/");
    ServeRelease();
    for (const bool https : {false, true}) {
        const std::string archiveUrl =
            (https ? tls.Url("/files/GPW.zip") : server.Url("/files/GPW.zip"));
        server.Serve("/tarnwick/updates/GPW.txt", "Gapwell|1.2.4|" + archiveUrl + "\r\n");
        const int requests = server.RequestCount();
        LiveUpdate update(downloader, settings);
        EXPECT_EQ(update.CheckForUpdate(kAttendedCheckBounds).offer.usable, https);
        EXPECT_EQ(update.FetchArchive().outcome,
                  https ? ArchiveFetch::Accepted : ArchiveFetch::NoUpdate);
        EXPECT_EQ(update.Install(), https);
        // the version file, and the archive and its signature when taken
        EXPECT_EQ(server.RequestCount() - requests, https ? 3 : 1);
        if (!https) {
            ExpectProgramFolderUnchanged(false);
        }
    }
    EXPECT_EQ(test::ReadText(AppFile("GPW.new")), kNewProgram);
}

// An archive without the maker's signature for this version, or whose signature file is
// missing, too long or never comes, is deleted, logged, and nothing else changes.
TEST_F(LiveUpdateTest, RefusedArchivesChangeNothingButTheLog) {
    fs::create_directory(UpdatesFolder());
    before = test::SnapshotFolder(folder.Path());
    const std::string signature = SignatureFor(releaseBytes, "1.2.4");
    struct Case {
        const char* name;
        std::string body;
        Reply reply;
    };
    const Case cases[] = {
        {"for another version", SignatureFor(releaseBytes, "1.2.5"), Reply::kNormal},
        {"for other bytes", SignatureFor(releaseBytes + "x", "1.2.4"), Reply::kNormal},
        {"over 1 KiB", signature + std::string(1025 - signature.size(), ' '), Reply::kNormal},
        {"an error page", "<html>missing</html>", Reply::kErrorPage},
        {"dropped", signature, Reply::kDropMidBody},
    };
    for (const Case& c : cases) {
        ServeRelease();
        server.Serve("/files/GPW.zip.sig", c.body, c.reply);
        LiveUpdate update(downloader, Settings());
        ASSERT_TRUE(update.CheckForUpdate(kAttendedCheckBounds).updateAvailable);
        EXPECT_EQ(update.FetchArchive(), FetchedArchive{ArchiveFetch::Refused}) << c.name;
        EXPECT_FALSE(update.Install()) << c.name;
        EXPECT_FALSE(fs::exists(update.ArchivePath())) << c.name;
    }
    const std::string log = BugLog();
    // one refusal each, and the error page's status
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 6) << log;
    EXPECT_TRUE(repairing.taskDialogs.empty());
    ExpectProgramFolderUnchanged(true);
}

// Cancel while the archive's completion is handled asks for no signature; Cancel while a
// signature that never comes is awaited ends its transfer at once. Either way the archive goes,
// nothing is installed and nothing is logged: a cancel is no refusal.
TEST_F(LiveUpdateTest, CancelWhileTheArchiveIsCheckedEndsTheCheckAtOnce) {
    fs::create_directory(UpdatesFolder());
    before = test::SnapshotFolder(folder.Path());
    for (const bool atCompletion : {true, false}) {
        ServeRelease();
        if (!atCompletion) {
            server.Serve("/files/GPW.zip.sig", std::string(88, 'A'), Reply::kStall);
        }
        downloader.DownloadWaiting = nullptr;
        downloader.DownloadComplete = [&](const std::string& fileName, std::int32_t) {
            if (fileName != UpdatesFolder() + "GPW.zip") {
                return;
            }
            if (atCompletion) {
                downloader.Cancel();
            } else {
                downloader.DownloadWaiting = [this] { downloader.Cancel(); };
            }
        };
        LiveUpdate update(downloader, Settings());
        ASSERT_TRUE(update.CheckForUpdate(kAttendedCheckBounds).updateAvailable);
        const int requests = server.RequestCount();

        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(update.FetchArchive(), FetchedArchive{ArchiveFetch::Cancelled}) << atCompletion;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10))
            << "the signature's transfer outlived Cancel";
        // the archive, and its signature unless Cancel came first
        EXPECT_EQ(server.RequestCount() - requests, atCompletion ? 1 : 2);
        EXPECT_FALSE(update.Install()) << atCompletion;
        ExpectProgramFolderUnchanged(false);
    }
}

// The archive is the program's alone (mode 0600, whatever the umask), and what is installed
// are the bytes that were checked: the file rewritten after its check changes nothing.
TEST_F(LiveUpdateTest, ArchiveRewrittenAfterItsCheckIsNotInstalled) {
    ServeRelease();
    LiveUpdate update(downloader, Settings());
    ASSERT_TRUE(update.CheckForUpdate(kAttendedCheckBounds).updateAvailable);
    const mode_t umask = ::umask(0);
    const std::int32_t total = update.FetchArchive().totalBytes;
    ::umask(umask);
    ASSERT_NE(total, 0);
    EXPECT_EQ(fs::status(update.ArchivePath()).permissions(), fs::perms(0600));
    fs::remove(update.ArchivePath());
    test::WriteZip(update.ArchivePath(), {{"GPW", "#!/bin/sh\necho planted\n"}});

    ASSERT_TRUE(update.Install());
    EXPECT_EQ(test::ReadText(AppFile("GPW.new")), kNewProgram);
    EXPECT_EQ(test::ReadText(AppFile("readme.txt")), "new read-me");
}

// Whatever another user planted under the version file's temporary name is never read,
// replaced or taken for the download, and no report asks about it.
TEST_F(LiveUpdateTest, EntryPlantedUnderTheTemporaryNameIsNeverUsed) {
    ServeRelease();
    const fs::path planted = Settings().versionTempFile;
    const std::string forged = "Gapwell|9.9.9|" + server.Url("/files/GPW.zip") + "\r\n";
    repairing.defaultTaskDialogAnswer = 2;  // Ignore, were anything reported
    for (const bool asFolder : {false, true}) {
        if (asFolder) {
            fs::create_directory(planted);
            test::WriteFile(planted / "inside", forged);
        } else {
            test::WriteFile(planted, forged);
        }
        const test::FolderSnapshot plantedBefore = test::SnapshotFolder(temp.Path());
        LiveUpdate update(downloader, Settings());
        EXPECT_EQ(update.CheckForUpdate(kAttendedCheckBounds).offer.newestVersion, "1.2.4");
        EXPECT_EQ(test::SnapshotFolder(temp.Path()), plantedBefore) << asFolder;
        fs::remove_all(planted);
    }
    EXPECT_TRUE(repairing.taskDialogs.empty());
    ExpectProgramFolderUnchanged(false);
}

// The updates folder swapped for a link while the archive downloads: the archive is written,
// checked and, when refused, deleted in the folder opened at the start; nothing outside the
// program folder changes.
TEST_F(LiveUpdateTest, UpdatesSwappedForALinkMidDownloadChangesNothingOutside) {
    test::WriteFile(outside.Path() / "GPW.zip", "outside's own");
    const fs::path updates = folder.Path() / "Updates";
    const fs::path real = folder.Path() / "Updates.real";
    for (const bool signedForThisVersion : {true, false}) {
        ServeRelease();
        if (!signedForThisVersion) {
            server.Serve("/files/GPW.zip.sig", SignatureFor(releaseBytes, "1.2.5"));
        }
        const Snapshots snapshots = TakeSnapshots();
        LiveUpdate update(downloader, Settings());
        ASSERT_TRUE(update.CheckForUpdate(kAttendedCheckBounds).updateAvailable);
        downloader.DownloadProgress = [&](const std::string& fileName, std::int32_t, std::int32_t) {
            if (fileName == update.ArchivePath() && !fs::exists(real)) {
                fs::rename(updates, real);
                fs::create_directory_symlink(outside.Path(), updates);
            }
        };
        EXPECT_EQ(update.FetchArchive().totalBytes != 0, signedForThisVersion);
        EXPECT_EQ(fs::exists(real / "GPW.zip"), signedForThisVersion);
        // The swap undone, the program folder is as it was, but for the accepted archive.
        fs::remove(updates);
        fs::rename(real, updates);
        fs::remove(updates / "GPW.zip");
        ExpectUnchanged(snapshots);
    }
}

// A version file that cannot be read is kept for Retry, which then reads it; given up, it goes.
TEST_F(LiveUpdateTest, RetryReadsTheVersionFileAgain) {
    ServeRelease();
    std::string versionFile;
    const std::string aside = (maker.Path() / "aside.tmp").string();
    // Once downloaded, the file is made unreadable (a link is never followed) ...
    downloader.DownloadComplete = [&](const std::string& fileName, std::int32_t) {
        versionFile = fileName;
        fs::rename(versionFile, aside);
        fs::create_symlink(aside, versionFile);
    };
    // ... until the report is answered with Retry.
    repairing.repair = [&] {
        fs::remove(versionFile);
        fs::rename(aside, versionFile);
    };
    repairing.taskDialogAnswers = {kAnswerRetry};
    LiveUpdate update(downloader, Settings());
    EXPECT_TRUE(update.CheckForUpdate(kAttendedCheckBounds).updateAvailable);
    EXPECT_EQ(repairing.taskDialogs.size(), 1U);
    EXPECT_FALSE(fs::exists(fs::symlink_status(versionFile)));

    repairing.repair = nullptr;
    repairing.defaultTaskDialogAnswer = 2;  // Ignore: the check gives up
    EXPECT_FALSE(update.CheckForUpdate(kAttendedCheckBounds).offer.usable);
    EXPECT_EQ(repairing.taskDialogs.size(), 2U);
    EXPECT_FALSE(fs::exists(fs::symlink_status(versionFile)));
}

}  // namespace
}  // namespace gapwell
