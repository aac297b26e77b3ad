// Archives and program folders an attacker could shape: every refused or failed installation
// leaves the program folder and everything outside it exactly as they were and starts nothing.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "base/RuntimeError.h"
#include "services/modMsgBox.h"
#include "support/TestZip.h"
#include "update/DoUpdate.h"
#include "update/InstallFixture.h"
#include "update/UpdatesFolder.h"

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
        {"EntryNamedLikeTheUpdatesFolder", {{"GPW", kEvil}, {"Updates", "x"}}},
        {"EntryNamedLikeAHandOverScript", {{"GPW", kEvil}, {"DeleteOld_1b.sh", "rm -rf ~"}}},
        {"EntryNamedLikeAFolderOfTheProgramFolder", {{"GPW", kEvil}, {"docs", "x"}}},
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
    EXPECT_NE(BugLog().find("|frmUpdate|"), std::string::npos);
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

}  // namespace
}  // namespace gapwell
