// Archives and program folders an attacker could shape: every refused or failed installation
// leaves the program folder and everything outside it exactly as they were and starts nothing.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/RuntimeError.h"
#include "services/modMsgBox.h"
#include "support/TestZip.h"
#include "update/InstallFixture.h"
#include "update/install/DoUpdate.h"
#include "update/install/InterruptedUpdate.h"
#include "update/install/StagedRelease.h"
#include "update/install/UpdatesFolder.h"

namespace gapwell {
namespace {

namespace fs = std::filesystem;
using test::ZipEntry;
using Kind = test::ZipEntry::Kind;

const std::string kEvil = "#!/bin/sh\necho evil > started.marker\n";

struct HostileCase {
    const char* label;
    // The archive's entries; "@" in a name stands for the program folder.
    std::vector<ZipEntry> entries;
    ExtractBounds bounds = kReleaseExtractBounds;
    const char* notAZip = nullptr;  // when set, the archive's bytes
    // When set, every "readme.txX" in the archive's bytes becomes "readme.txt" (the zip writer
    // refuses to store two entries of one name).
    bool twoOfOneName = false;
    // When set, what Bug.log must give as the reason (a later rule would refuse it as well).
    const char* reason = nullptr;
};

void PrintTo(const HostileCase& hostile, std::ostream* out) {
    *out << hostile.label;
}

std::vector<HostileCase> HostileCases() {
    return {
        {"ParentNames", {{"../GPW", kEvil}, {"../readme.txt", kEvil}, {"x/../../GPW", kEvil}}},
        {"AbsoluteNames", {{"@/GPW", kEvil}, {"@/readme.txt", kEvil}}},
        {"LinkNamedLikeTheProgram", {{"GPW", "/bin/sh", Kind::kLink}}},
        {"Folders", {{"GPW/", "", Kind::kFolder}, {"GPW/GPW", kEvil}}},
        {"MissingExecutable", {{"readme.txt", "new read-me"}}},
        {"EmptyExecutable", {{"GPW", ""}}},
        {"OnlyTheTravellingName", {{"GPW.new", kEvil, Kind::kFile, 0755}}},
        {"AnEntryEndingInNew", {{"GPW", kEvil}, {"readme.txt.new", "x"}}},
        {.label = "EntryNamedLikeTheUpdatesFolder",
         .entries = {{"GPW", kEvil}, {"Updates", "x"}},
         .reason = "a file named like the updates folder: Updates"},
        {"EntryNamedLikeAHandOverScript", {{"GPW", kEvil}, {"DeleteOld_1b.sh", "rm -rf ~"}}},
        {.label = "EntryNamedLikeAFolderOfTheProgramFolder",
         .entries = {{"GPW", kEvil}, {"docs", "x"}},
         .reason = "a file named like a folder of the program folder: docs"},
        {"EntryNamedLikeTheErrorLog", {{"GPW", kEvil}, {"Bug.log", ""}}},
        {"EntryNamedLikeTheAutomaticCheckSetting", {{"GPW", kEvil}, {"autoupdate.dat", "1"}}},
        {"EntryNamedLikeTheSkippedVersion", {{"GPW", kEvil}, {"skipversion.dat", "9.9.9"}}},
        // A FAT or exFAT stick ignores case: these would replace the names above.
        {"ReservedNamesInAnotherCase",
         {{"GPW", kEvil}, {"BUG.LOG", ""}, {"AutoUpdate.DAT", "1"}, {"SKIPversion.dat", "9"}}},
        {"UpdatesFolderInAnotherCase", {{"GPW", kEvil}, {"UPDATES", "x"}}},
        {"HandOverScriptInAnotherCase", {{"GPW", kEvil}, {"deleteold_1b.SH", "rm -rf ~"}}},
        {"TravellingNameInAnotherCase", {{"GPW", kEvil}, {"readme.txt.NEW", "x"}}},
        {"TwoEntriesOfOneName",
         {{"GPW", kEvil}, {"readme.txt", "a"}, {"readme.txX", "b"}},
         kReleaseExtractBounds,
         nullptr,
         true},
        {"OneByteOverTheLimit", {{"GPW", std::string(1000, '#')}, {"a", "a"}}, {1000, 10}},
        {"OneEntryOverTheLimit",
         {{"GPW", kEvil}, {"a", "a"}, {"b/", "", Kind::kFolder}},
         {1024, 2}},
        {"ErrorPageSavedAsTheArchive", {}, {}, "<html><body>404 Not Found</body></html>"},
    };
}

class HostileArchiveTest : public test::InstallFixture,
                           public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileArchiveTest, ProgramFolderStaysAsItWasAndNothingStarts) {
    const HostileCase& hostile = GetParam();
    fs::create_directory(AppFile("docs"));
    test::WriteFile(AppFile("docs") / "manual.txt", "manual");
    const std::string archivePath = UpdatesFolder() + "GPW.zip";
    if (hostile.notAZip != nullptr) {
        test::WriteFile(archivePath, hostile.notAZip);
    } else {
        std::vector<ZipEntry> entries = hostile.entries;
        for (ZipEntry& entry : entries) {
            if (entry.name.starts_with("@")) {
                entry.name = folder.Path().string() + entry.name.substr(1);
            }
        }
        test::WriteZip(archivePath, entries);
    }
    if (hostile.twoOfOneName) {
        std::string bytes = test::ReadText(archivePath);
        for (std::size_t at = bytes.find("readme.txX"); at != std::string::npos;
             at = bytes.find("readme.txX", at)) {
            bytes[at + 9] = 't';
        }
        test::WriteFile(archivePath, bytes);
    }
    const Snapshots before = TakeSnapshots();
    platform.defaultTaskDialogAnswer = kIdCancel;  // Ignore
    InstallOptions options;
    options.bounds = hostile.bounds;

    EXPECT_FALSE(DoUpdate(archivePath, UpdatesFolder(), options));

    ExpectUnchanged(before);
    EXPECT_TRUE(platform.hiddenProcesses.empty());
    EXPECT_NE(BugLog().find("|DoUpdate|"), std::string::npos);
    EXPECT_EQ(BugLog().find("frmUpdate"), std::string::npos);  // the core names no window
    if (hostile.reason != nullptr) {
        EXPECT_NE(BugLog().find(hostile.reason), std::string::npos) << BugLog();
    }
}

INSTANTIATE_TEST_SUITE_P(Archives, HostileArchiveTest, ::testing::ValuesIn(HostileCases()),
                         [](const auto& test) { return std::string(test.param.label); });

class HostileFolderTest : public test::InstallFixture {
  protected:
    void SetUp() override {
        InstallFixture::SetUp();
        test::WriteZip((outside.Path() / "GPW.zip").string(),
                       {{"GPW", kEvil}, {"readme.txt", "planted"}});
        fs::remove(UpdatesFolder());
        platform.defaultTaskDialogAnswer = kIdCancel;  // Ignore
    }

    // Neither preparing the updates folder nor installing from it touches anything.
    void ExpectRefusedAndUntouched() {
        const Snapshots before = TakeSnapshots();
        EXPECT_THROW(PrepareUpdatesFolder(UpdatesFolder()), RuntimeError);
        EXPECT_FALSE(DoUpdate(UpdatesFolder() + "GPW.zip", UpdatesFolder()));
        ExpectUnchanged(before);
        EXPECT_TRUE(platform.hiddenProcesses.empty());
        EXPECT_NE(BugLog().find("|DoUpdate|"), std::string::npos);
    }
};

// The link's target holds a release: its files are neither deleted nor installed.
TEST_F(HostileFolderTest, UpdatesAsALinkToAnotherFolder) {
    fs::create_directory_symlink(outside.Path(), AppFile("Updates"));
    ExpectRefusedAndUntouched();
}

TEST_F(HostileFolderTest, UpdatesAsAFileOrAFifo) {
    test::WriteFile(AppFile("Updates"), "a file");
    ExpectRefusedAndUntouched();
    fs::remove(AppFile("Updates"));
    ASSERT_EQ(::mkfifo(AppFile("Updates").c_str(), 0600), 0);
    ExpectRefusedAndUntouched();
}

// Every name the hand-over script could get at 09:05:02 is taken by a folder, so the last
// move fails after the others succeeded: they are put back and nothing starts.
TEST_F(HostileFolderTest, MoveThatFailsPartWayIsUndone) {
    fs::create_directory(AppFile("Updates"));
    const std::string archivePath = UpdatesFolder() + "GPW.zip";
    test::WriteZip(archivePath, {{"GPW", kNewProgram}, {"readme.txt", "new"}, {"new.txt", "n"}});
    for (char letter = 'b'; letter <= 'z'; ++letter) {
        fs::create_directory(AppFile(std::string("DeleteOld_952") + letter + ".sh"));
    }
    const Snapshots before = TakeSnapshots();

    EXPECT_FALSE(DoUpdate(archivePath, UpdatesFolder()));

    ExpectUnchanged(before);
    EXPECT_TRUE(platform.hiddenProcesses.empty());
    EXPECT_NE(BugLog().find("A folder is in the way: DeleteOld_952"), std::string::npos);
}

// The files are in, but the hand-over cannot start: Retry moves them in again and tries once
// more, Ignore leaves the update with everything put back and the work folder gone.
TEST_F(HostileFolderTest, HandOverThatCannotStartIsUndone) {
    fs::create_directory(AppFile("Updates"));
    const std::string archivePath = UpdatesFolder() + "GPW.zip";
    test::WriteZip(archivePath, {{"GPW", kNewProgram}, {"readme.txt", "new"}});
    test::WriteFile(AppFile("DeleteOld_1b.sh"), "left over");
    const Snapshots before = TakeSnapshots();
    platform.failHiddenProcess = true;
    platform.taskDialogAnswers = {kIdRetry};

    EXPECT_FALSE(DoUpdate(archivePath, UpdatesFolder()));

    EXPECT_EQ(platform.hiddenProcesses.size(), 2U);
    EXPECT_EQ(platform.taskDialogs.size(), 2U);
    ExpectUnchanged(before);
}

// The platform double that plants something just before the hand-over fails to start.
class PlantingPlatform : public FakePlatform {
  public:
    explicit PlantingPlatform(const FakePlatform& platform) : FakePlatform(platform) {}
    std::function<void()> plant;
    void StartHiddenProcess(const std::string& program, const std::vector<std::string>& arguments,
                            const std::string& workingFolder) override {
        plant();
        FakePlatform::StartHiddenProcess(program, arguments, workingFolder);
    }
};

// A process that has already ended: the next start takes its installation for interrupted.
pid_t EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return child;
}

// The hand-over cannot start, and a folder planted in the incoming folder keeps the new read-me
// from going back, so the old one cannot: the moves reversed before and after that one are
// undone all the same, and the work folder stays with its journal and the old read-me. Once
// the folder is gone, the next start puts everything back.
TEST_F(HostileFolderTest, PutBackThatFailsKeepsTheWorkFolderForTheNextStart) {
    fs::create_directory(AppFile("Updates"));
    const std::string archivePath = UpdatesFolder() + "GPW.zip";
    test::WriteZip(archivePath,
                   {{"GPW", kNewProgram}, {"readme.txt", "new"}, {"LICENSE", "license"}});
    const Snapshots before = TakeSnapshots();
    PlantingPlatform planting(platform);
    planting.failHiddenProcess = true;
    fs::path planted;
    planting.plant = [&] {
        planted = fs::path(UpdatesFolder()) / WorkFolderName() / "incoming" / "readme.txt";
        fs::create_directory(planted);
    };
    SetCurrentPlatform(&planting);
    InstallOptions options;
    options.processId = EndedProcess();

    EXPECT_FALSE(DoUpdate(archivePath, UpdatesFolder(), options));

    EXPECT_NE(BugLog().find("not every replaced file could be put back"), std::string::npos);
    EXPECT_FALSE(fs::exists(AppFile("LICENSE")));
    EXPECT_FALSE(fs::exists(AppFile("GPW.new"))) << "the first move, undone last";
    EXPECT_EQ(test::ReadText(fs::path(UpdatesFolder()) / WorkFolderName() / "aside/readme.txt"),
              "old read-me");
    fs::remove(planted);
    CompleteInterruptedUpdates(folder.Path().string(), "Updates");
    ExpectUnchanged(before);
}

// A program folder reached through a link is not installed into.
TEST_F(HostileFolderTest, ProgramFolderThatIsALinkIsNotFollowed) {
    fs::create_directory(AppFile("Updates"));
    test::WriteZip(UpdatesFolder() + "GPW.zip", {{"GPW", kNewProgram}, {"readme.txt", "new"}});
    const std::string link = (outside.Path() / "program").string();
    fs::create_directory_symlink(folder.Path(), link);
    platform.programFolder = link;
    const Snapshots before = TakeSnapshots();

    EXPECT_FALSE(DoUpdate(link + "/Updates/GPW.zip", link + "/Updates/"));

    ExpectUnchanged(before);
    EXPECT_TRUE(platform.hiddenProcesses.empty());
}

// The work folder swapped for a link to a folder outside once the release is staged: the link
// is neither followed nor emptied, and nothing moves.
TEST_F(HostileFolderTest, WorkFolderSwappedForALinkIsNotFollowed) {
    fs::create_directory(AppFile("Updates"));
    test::WriteZip((outside.Path() / "GPW.zip").string(), {{"GPW", kNewProgram}});
    const std::string archive = test::ReadText(outside.Path() / "GPW.zip");
    std::optional<StagedRelease> staged;
    staged.emplace(archive, "GPW.zip", UpdatesFolder(), kReleaseExtractBounds, 60);
    const fs::path work = fs::path(UpdatesFolder()) / WorkFolderName();
    fs::rename(work, outside.Path() / "work");
    fs::create_directory_symlink(outside.Path() / "work", work);
    const Snapshots before = TakeSnapshots();

    EXPECT_THROW(staged->MoveInAndHandOver(::getpid()), RuntimeError);
    staged.reset();

    ExpectUnchanged(before);
    EXPECT_TRUE(platform.hiddenProcesses.empty());
}

}  // namespace
}  // namespace gapwell
