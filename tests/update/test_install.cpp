#include <gtest/gtest.h>
#include <sodium.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/LoopbackServer.h"
#include "support/Polling.h"
#include "support/TestZip.h"
#include "update/InstallFixture.h"
#include "update/install/DoUpdate.h"
#include "update/install/HandOverScript.h"
#include "update/install/InterruptedUpdate.h"
#include "update/install/UpdatesFolder.h"
#include "update/records/VersionFile.h"
#include "update/signature/ReleaseCheck.h"
#include "update/transfer/clsDownload.h"

extern char** environ;

namespace gapwell {
namespace {

namespace fs = std::filesystem;
using Kind = test::ZipEntry::Kind;
using namespace std::chrono_literals;
using test::ReadText;

// A short-lived process that stands in for the running program.
pid_t StartStandIn() {
    pid_t pid = 0;
    char sleep[] = "sleep";
    char duration[] = "0.3";
    char* argv[] = {sleep, duration, nullptr};
    return ::posix_spawnp(&pid, "sleep", nullptr, nullptr, argv, environ) == 0 ? pid : 0;
}

bool HasHandOverScript(const fs::path& folder) {
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("DeleteOld_")) {
            return true;
        }
    }
    return false;
}

// A release archive holding GPW and LICENSE, signed by a maker's key for 1.2.4 as GPW.zip.
struct SignedRelease {
    ReleasePublicKey publicKey{};
    std::string archive;
    std::string signature;

    SignedRelease(const test::TempFolder& maker, const std::string& program) {
        const std::string path = (maker.Path() / "GPW.zip").string();
        test::WriteZip(path, {{"GPW", program}, {"LICENSE", "license"}});
        archive = ReadText(path);
        EXPECT_GE(sodium_init(), 0);
        ReleaseSecretKey secretKey{};
        crypto_sign_keypair(publicKey.data(), secretKey.data());
        const ReleaseSignature bytes =
            SignRelease(secretKey, "1.2.4", "GPW.zip",
                        std::vector<std::uint8_t>(archive.begin(), archive.end()));
        signature = EncodeBase64(bytes.data(), bytes.size()) + "\n";
    }
    std::string PublicKey() const { return EncodeBase64(publicKey.data(), publicKey.size()); }
};

class InstallTest : public test::InstallFixture {
  protected:
    // Prepares the updates folder, downloads the archive and checks its signature, as the
    // wizard does.
    SignatureCheck DownloadRelease(const std::string& archiveUrl, const std::string& version) {
        PrepareUpdatesFolder(UpdatesFolder());
        archivePath = UpdatesFolder() + GetUrlFileName(archiveUrl);
        clsDownload downloader;
        downloader.DownloadFile(archiveUrl, archivePath);
        return CheckDownloadedRelease(downloader, archiveUrl, archivePath, version,
                                      release.PublicKey(),
                                      (folder.Path() / "_sig957k.tmp").string());
    }

    test::TempFolder maker;
    SignedRelease release{maker, kNewProgram};
    test::LoopbackServer server;
    std::string archivePath;
};

TEST_F(InstallTest, SignedReleaseReplacesTheProgramAfterItHasEnded) {
    server.Serve("/tarnwick/updates/GPW.zip", release.archive);
    server.Serve("/tarnwick/updates/GPW.zip.sig", release.signature);
    server.Serve("/tarnwick/updates/GPW.txt",
                 "GPW|1.2.4|" + server.Url("/tarnwick/updates/GPW.zip") + "\r\n");
    const std::string versionFile = (folder.Path() / "_upd957k.tmp").string();
    clsDownload().DownloadFile(server.Url("/tarnwick/updates/GPW.txt"), versionFile);
    const VersionOffer offer = ParseVersionLine(ReadVersionFileLine(versionFile),
                                                {server.Url("/tarnwick/updates/"), "GPW"});
    ASSERT_TRUE(offer.usable);
    ASSERT_TRUE(IsNewerVersion("1.2.3", offer.newestVersion));
    ASSERT_EQ(DownloadRelease(offer.archiveUrl, offer.newestVersion), SignatureCheck::Valid);

    const pid_t standIn = StartStandIn();
    ASSERT_NE(standIn, 0);
    platform.startHiddenProcesses = true;
    InstallOptions options;
    options.processId = standIn;
    const bool started = DoUpdate(archivePath, UpdatesFolder(), options);
    ::waitpid(standIn, nullptr, 0);  // the program has ended
    ASSERT_TRUE(started);

    const fs::path marker = AppFile("started.marker");
    ASSERT_TRUE(test::WaitUntil([&] { return ReadText(marker) == "new\n"; }, 10s));
    EXPECT_EQ(ReadText(AppFile("GPW")), kNewProgram);
    EXPECT_FALSE(fs::exists(AppFile("GPW.new")));
    EXPECT_EQ(ReadText(AppFile("LICENSE")), "license");
    EXPECT_EQ(ReadText(AppFile("readme.txt")), "old read-me");
    EXPECT_EQ(ReadText(archivePath), release.archive);
    EXPECT_FALSE(fs::exists(AppFile("GPW.zip")));
    EXPECT_FALSE(HasHandOverScript(folder.Path()));
    EXPECT_TRUE(platform.taskDialogs.empty());
}

// The program is still running when the hand-over stops waiting: the real script puts every
// file back, leftover scripts included, and removes its work folder. Until then the next start
// of a copy leaves the waiting hand-over alone.
TEST_F(InstallTest, HandOverThatGivesUpPutsTheOldFilesBack) {
    test::WriteFile(AppFile("DeleteOld_1b.sh"), "left over");
    archivePath = UpdatesFolder() + "GPW.zip";
    test::WriteZip(archivePath,
                   {{"GPW", kNewProgram}, {"readme.txt", "new read-me"}, {"LICENSE", "license"}});
    const Snapshots before = TakeSnapshots();
    platform.startHiddenProcesses = true;
    InstallOptions options;
    options.waitSeconds = 1;  // for this process, which goes on running

    ASSERT_TRUE(DoUpdate(archivePath, UpdatesFolder(), options));
    const test::FolderSnapshot movedIn = TakeSnapshots().program;
    CompleteInterruptedUpdates(folder.Path().string(), "Updates");
    EXPECT_EQ(test::SnapshotDifference(movedIn, TakeSnapshots().program), "");
    EXPECT_NE(BugLog().find("being installed"), std::string::npos);

    // The work folder goes under another name, then whole.
    ASSERT_TRUE(test::WaitUntil(
        [&] { return test::SnapshotDifference(before.program, TakeSnapshots().program).empty(); },
        10s));
    ExpectUnchanged(before);
    EXPECT_FALSE(fs::exists(AppFile("started.marker")));
}

// The maker's genuine GPW.zip and its signature, published as LICENSE.zip: the signature names
// GPW.zip, so the archive is refused before anything reads it.
TEST_F(InstallTest, GenuineArchiveUnderAnotherNameIsRefused) {
    server.Serve("/tarnwick/updates/LICENSE.zip", release.archive);
    server.Serve("/tarnwick/updates/LICENSE.zip.sig", release.signature);
    EXPECT_EQ(DownloadRelease(server.Url("/tarnwick/updates/LICENSE.zip"), "1.2.4"),
              SignatureCheck::WrongSignature);
    EXPECT_EQ(DownloadRelease(server.Url("/tarnwick/updates/LICENSE.zip"), "1.2.5"),
              SignatureCheck::WrongSignature);
}

// Without a signing key the archive's name is still no say: LICENSE.zip holding GPW and
// LICENSE installs GPW as the program and LICENSE beside it.
TEST_F(InstallTest, TheProgramsOwnNameChoosesTheExecutableAndLeftoverScriptsGo) {
    fs::permissions(AppFile("GPW"), fs::perms(0750));
    test::WriteFile(AppFile("DeleteOld_1b.sh"), "old");
    test::WriteFile(AppFile("DeleteOld_2c.sh"), "old");
    fs::create_directory(AppFile("DeleteOld_3d.sh"));  // no script: stays where it is
    archivePath = UpdatesFolder() + "LICENSE.zip";
    test::WriteZip(archivePath, {{"GPW", kNewProgram}, {"LICENSE", "license"}});

    ASSERT_TRUE(DoUpdate(archivePath, UpdatesFolder()));

    EXPECT_FALSE(fs::exists(AppFile("DeleteOld_1b.sh")));
    EXPECT_FALSE(fs::exists(AppFile("DeleteOld_2c.sh")));
    EXPECT_TRUE(fs::is_directory(AppFile("DeleteOld_3d.sh")));
    ASSERT_EQ(platform.hiddenProcesses.size(), 1U);
    const FakePlatform::HiddenProcessCall& call = platform.hiddenProcesses.front();
    EXPECT_EQ(call.program, "/bin/sh");
    ASSERT_EQ(call.arguments.size(), 2U);
    EXPECT_EQ(fs::path(call.arguments[0]).parent_path(), folder.Path());
    EXPECT_TRUE(fs::path(call.arguments[0]).filename().string().starts_with("DeleteOld_952"));
    const std::string work = WorkFolderName();
    EXPECT_EQ(ReadText(call.arguments[0]),
              HandOverScript({"GPW",
                              60,
                              "Updates/" + work,
                              {"GPW.new", "LICENSE", fs::path(call.arguments[0]).filename()},
                              fs::path(call.arguments[0]).filename(),
                              AppFile("Bug.log"),
                              "6.1.0"}));
    EXPECT_EQ(call.arguments[1], std::to_string(::getpid()));
    EXPECT_EQ(call.workingFolder, folder.Path().string() + "/");

    EXPECT_EQ(ReadText(AppFile("GPW")), kOldProgram);
    EXPECT_EQ(ReadText(AppFile("GPW.new")), kNewProgram);
    EXPECT_EQ(fs::status(AppFile("GPW.new")).permissions(), fs::perms(0750));
    EXPECT_EQ(ReadText(AppFile("LICENSE")), "license");
    EXPECT_EQ(ReadText(AppFile("readme.txt")), "old read-me");
    // The updates folder keeps the archive and, for the hand-over, the work folder with the
    // journal and the files set aside.
    EXPECT_TRUE(fs::exists(archivePath));
    EXPECT_TRUE(fs::is_regular_file(fs::path(UpdatesFolder()) / work / "journal"));
    EXPECT_EQ(ReadText(fs::path(UpdatesFolder()) / work / "aside" / "DeleteOld_1b.sh"), "old");
}

// A file of the program folder that is a link to a file outside is replaced as the link
// itself: the file it pointed to keeps its bytes.
TEST_F(InstallTest, ALinkInTheProgramFolderIsReplacedNotWrittenThrough) {
    fs::create_symlink(outside.Path() / "keep.txt", AppFile("LICENSE"));
    const test::FolderSnapshot outsideBefore = test::SnapshotFolder(outside.Path());
    archivePath = UpdatesFolder() + "GPW.zip";
    test::WriteZip(archivePath, {{"GPW", kNewProgram}, {"LICENSE", "license"}});

    ASSERT_TRUE(DoUpdate(archivePath, UpdatesFolder()));

    EXPECT_FALSE(fs::is_symlink(AppFile("LICENSE")));
    EXPECT_EQ(ReadText(AppFile("LICENSE")), "license");
    EXPECT_EQ(test::SnapshotDifference(outsideBefore, test::SnapshotFolder(outside.Path())), "");
}

// Execute bits come from the archive, at most 0755; the new program is executable whatever
// the archive says, with the running program's mode less setuid, setgid and write for others.
TEST_F(InstallTest, ModesAreTakenFromTheArchiveWithoutPrivilegeOrSharedWrite) {
    fs::permissions(AppFile("GPW"), fs::perms(06777));
    archivePath = UpdatesFolder() + "GPW.zip";
    test::WriteZip(archivePath, {{"GPW", kNewProgram, Kind::kFile, 0644},
                                 {"gapwell", "tool", Kind::kFile, 06777},
                                 {"helper", "tool", Kind::kFile, 0700},
                                 {"readme.txt", "new", Kind::kFile, 0666}});

    ASSERT_TRUE(DoUpdate(archivePath, UpdatesFolder()));

    EXPECT_EQ(fs::status(AppFile("GPW.new")).permissions(), fs::perms(0755));
    EXPECT_EQ(fs::status(AppFile("gapwell")).permissions(), fs::perms(0755));
    EXPECT_EQ(fs::status(AppFile("helper")).permissions(), fs::perms(0755));
    EXPECT_EQ(fs::status(AppFile("readme.txt")).permissions(), fs::perms(0644));
}

// Exactly the limits pass; names with a backslash are skipped, never taken apart.
TEST_F(InstallTest, ArchiveAtTheLimitsInstallsAndBackslashNamesAreSkipped) {
    archivePath = UpdatesFolder() + "GPW.zip";
    test::WriteZip(archivePath, {{"GPW", std::string(1000, '#')},
                                 {"a", "abc"},
                                 {"docs\\readme.txt", "skipped"},
                                 {"..\\x", "skipped"}});
    InstallOptions options;
    options.bounds = {1003, 4};
    const test::FolderSnapshot outsideBefore = test::SnapshotFolder(outside.Path());

    ASSERT_TRUE(DoUpdate(archivePath, UpdatesFolder(), options));

    EXPECT_EQ(ReadText(AppFile("GPW.new")), std::string(1000, '#'));
    EXPECT_EQ(ReadText(AppFile("a")), "abc");
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.Path())) {
        EXPECT_EQ(entry.path().filename().string().find('\\'), std::string::npos);
    }
    EXPECT_EQ(test::SnapshotDifference(outsideBefore, test::SnapshotFolder(outside.Path())), "");
}

}  // namespace
}  // namespace gapwell
