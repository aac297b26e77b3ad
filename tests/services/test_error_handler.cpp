#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/RuntimeError.h"
#include "base/Version.h"
#include "services/ErrorScope.h"
#include "services/RecordFields.h"
#include "services/modErrorHandler.h"
#include "services/modMsgBox.h"
#include "support/PlatformFixture.h"

namespace gapwell {
namespace {

const std::string kVersion = version::kVersionText;

// Task-dialog results of the report box (Retry, Cancel, Close) and what they answer.
constexpr int kPressRetry = 4;   // Retry
constexpr int kPressCancel = 2;  // Ignore
constexpr int kPressClose = 8;   // Abort

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

class ErrorHandlerTest : public test::PlatformFixture {
  protected:
    void SetUp() override {
        PlatformFixture::SetUp();
        platform.systemVersion = {5, 1, 2600, 2};
        SetPendingError(0, "");
    }
};

TEST_F(ErrorHandlerTest, ReportIsShownAsTaskDialogAndLogged) {
    platform.taskDialogAnswers = {kPressCancel};
    SetPendingError(53, "File not found");

    EXPECT_EQ(HandleError("mnuOpen_Click", "frmMain"), kAnswerIgnore);

    ASSERT_EQ(platform.taskDialogs.size(), 1u);
    const TaskDialogRequest& shown = platform.taskDialogs[0];
    EXPECT_EQ(shown.title, "GPW");
    EXPECT_EQ(shown.mainInstruction, "File not found.");
    EXPECT_EQ(shown.content, "mnuOpen_Click@frmMain");
    EXPECT_EQ(shown.commonButtons, 0x38);
    EXPECT_EQ(shown.icon, 0xFFFE);
    EXPECT_EQ(BugLog(), "20090307|090502|5.1.2600|" + kVersion +
                            "|mnuOpen_Click|53|frmMain|File not found|5\n");
}

TEST_F(ErrorHandlerTest, ReportIsOneClassicBoxBeforeTaskDialogs) {
    platform.versionEx = OsVersionInfo{5, 1, 2600, 2};
    platform.classicAnswers = {kAnswerRetry};
    SetPendingError(13, "Permission denied");

    EXPECT_EQ(HandleError("DoUpdate", "frmUpdate"), kAnswerRetry);

    ASSERT_EQ(platform.classicBoxes.size(), 1u);
    EXPECT_EQ(platform.classicBoxes[0].text, "Permission denied.\r\nDoUpdate@frmUpdate");
    EXPECT_EQ(platform.classicBoxes[0].title, "GPW");
    EXPECT_EQ(platform.classicBoxes[0].style, 0x112);
    EXPECT_NE(BugLog().find("|DoUpdate|13|frmUpdate|Permission denied|4\n"), std::string::npos);
}

TEST_F(ErrorHandlerTest, NothingPendingShowsAndLogsNothing) {
    EXPECT_EQ(HandleError("Form_Load", "frmMain"), kAnswerNone);
    EXPECT_TRUE(platform.taskDialogs.empty());
    EXPECT_FALSE(BugLogExists());
    // The pending failure is taken by the first report only.
    SetPendingError(5, "Input/output error");
    HandleError("Form_Load", "frmMain");
    EXPECT_EQ(HandleError("Form_Load", "frmMain"), kAnswerNone);
    EXPECT_EQ(platform.taskDialogs.size(), 1u);
}

TEST_F(ErrorHandlerTest, PeriodIsAddedToTheMessageOnly) {
    platform.taskDialogAnswers = {kPressCancel};
    SetPendingError(28, "Disk full.");
    HandleError("DoUpdate", "frmUpdate");
    EXPECT_EQ(platform.taskDialogs[0].mainInstruction, "Disk full..");
    EXPECT_NE(BugLog().find("|frmUpdate|Disk full.|5\n"), std::string::npos);
}

TEST_F(ErrorHandlerTest, DateAndTimeArePaddedAndVersionTextsAreKeptForTheRun) {
    platform.now = {987, 1, 2, 0, 4, 9};
    SetPendingError(5, "First");
    HandleError("A", "m");
    platform.now = {2010, 12, 31, 23, 59, 58};
    platform.systemVersion = {10, 0, 19045, 2};
    SetPendingError(5, "Second");
    HandleError("B", "m");

    EXPECT_EQ(BugLog(), "09870102|000409|5.1.2600|" + kVersion +
                            "|A|5|m|First|1\n"
                            "20101231|235958|5.1.2600|" +
                            kVersion + "|B|5|m|Second|1\n");
    EXPECT_EQ(platform.systemVersionQueries, 1);
}

TEST_F(ErrorHandlerTest, RecordsAreAppendedAndOneLineEach) {
    folder.Write("Bug.log", Bytes("earlier record\n"));
    SetPendingError(22, "Bad | value\r\nsecond line");
    HandleError("txtOffset_Change", "frmMain");
    EXPECT_EQ(BugLog(),
              "earlier record\n"
              "20090307|090502|5.1.2600|" +
                  kVersion + "|txtOffset_Change|22|frmMain|Bad %7C value%0D%0Asecond line|1\n");
}

// Whatever the names and the description hold, a record splits at "|" into its nine fields, and
// each field unescapes to what was logged; a record without "%", "|", CR or LF is unchanged.
TEST_F(ErrorHandlerTest, EveryRecordSplitsIntoItsNineFields) {
    const struct {
        std::string procName, moduleName, description;
    } cases[] = {{"Extract", "frmUpdate", "0|00:00:00|9.9.9|GPW|1|x|forged|5\r\nforged record"},
                 {"a|b", "c\nd", "100% done, %7C stays itself\r"},
                 {"DoUpdate", "frmUpdate", "Plain text: nothing to escape"}};
    for (const auto& c : cases) {
        std::filesystem::remove(BugLogPath());
        LogError(c.procName, 13, c.moduleName, c.description, 5);
        std::string line = BugLog();
        ASSERT_TRUE(line.ends_with('\n'));
        line.pop_back();
        ASSERT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        std::vector<std::string> fields;
        for (std::size_t start = 0, bar = 0; bar != std::string::npos; start = bar + 1) {
            bar = line.find('|', start);
            fields.push_back(UnescapeRecordField(line.substr(start, bar - start)).value());
        }
        const std::vector<std::string> logged = {"20090307",   "090502",      "5.1.2600",
                                                 kVersion,     c.procName,    "13",
                                                 c.moduleName, c.description, "5"};
        EXPECT_EQ(fields, logged);
    }
    EXPECT_EQ(BugLog(), "20090307|090502|5.1.2600|" + kVersion +
                            "|DoUpdate|13|frmUpdate|Plain text: nothing to escape|5\n");
}

TEST_F(ErrorHandlerTest, RecordAfterATornOneStartsOnAFreshLine) {
    folder.Write("Bug.log", Bytes("20090307|090502|5.1.2600|1.2.3|DoUpd"));
    LogError("mnuOpen_Click", 53, "frmMain", "File not found", 5);
    LogError("mnuOpen_Click", 53, "frmMain", "File not found", 4);
    EXPECT_EQ(BugLog(),
              "20090307|090502|5.1.2600|1.2.3|DoUpd\n"
              "20090307|090502|5.1.2600|1.2.3|mnuOpen_Click|53|frmMain|File not found|5\n"
              "20090307|090502|5.1.2600|1.2.3|mnuOpen_Click|53|frmMain|File not found|4\n");
}

TEST_F(ErrorHandlerTest, UncreatableFolderLosesTheRecordSilently) {
    // A log folder under a normal file cannot be made, not even by root.
    platform.programFolder = folder.Write("file", Bytes("x")) + "/log";
    platform.taskDialogAnswers = {kPressClose};
    SetPendingError(5, "Input/output error");
    EXPECT_EQ(HandleError("Main", "modMain"), kAnswerAbort);
    EXPECT_EQ(platform.taskDialogs.size(), 1u);
    EXPECT_EQ(test::ReadText(folder.Path() / "file"), "x");
}

TEST_F(ErrorHandlerTest, InstalledCopyLogsInItsStateFolderMadeOnFirstUse) {
    const std::filesystem::path state = folder.Path() / "state" / version::kAppId;
    platform.fileLocations =
        FileLocations{state.string(), (folder.Path() / "config").string(), false};
    LogError("Main", 5, "modMain", "Input/output error", 0);
    EXPECT_FALSE(BugLogExists());
    EXPECT_EQ(test::ReadText(state / "Bug.log"),
              "20090307|090502|5.1.2600|" + kVersion + "|Main|5|modMain|Input/output error|0\n");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "config"));
}

TEST_F(ErrorHandlerTest, FailingMessageRoutineDoesNotRecurse) {
    platform.failTaskDialog = true;
    platform.failNumber = 1;
    SetPendingError(2, "No such file or directory");

    EXPECT_EQ(HandleError("mnuOpen_Click", "frmMain"), kAnswerNone);

    // The report box failed; its failure is logged without a box of its own.
    EXPECT_EQ(platform.taskDialogs.size(), 1u);
    EXPECT_EQ(BugLog(), "20090307|090502|5.1.2600|" + kVersion +
                            "|MessageBox|1|modMsgBox|Simulated failure|0\n"
                            "20090307|090502|5.1.2600|" +
                            kVersion +
                            "|mnuOpen_Click|2|frmMain|No such file or "
                            "directory|0\n");

    // The guard is lifted once the report is over.
    platform.failTaskDialog = false;
    SetPendingError(2, "No such file or directory");
    HandleError("mnuOpen_Click", "frmMain");
    EXPECT_EQ(platform.taskDialogs.size(), 2u);
}

// Lets another failure be reported while the first report box is up, as a timer firing inside
// the box's message loop would.
class NestingPlatform : public FakePlatform {
  public:
    int TaskDialog(const TaskDialogRequest& request) override {
        const bool firstBox = taskDialogs.empty();
        const int result = FakePlatform::TaskDialog(request);
        if (firstBox) {
            SetPendingError(5, "Timer failed");
            nestedAnswer = HandleError("tmrShowUpdate_Timer", "frmMain");
        }
        return result;
    }
    int nestedAnswer = -1;
};

TEST_F(ErrorHandlerTest, OtherFailuresDuringAReportAreShown) {
    NestingPlatform nesting;
    nesting.programFolder = platform.programFolder;
    nesting.systemVersion = platform.systemVersion;
    nesting.taskDialogAnswers = {kPressRetry, kPressCancel};
    SetCurrentPlatform(&nesting);
    SetPendingError(2, "No such file or directory");

    EXPECT_EQ(HandleError("mnuOpen_Click", "frmMain"), kAnswerRetry);

    EXPECT_EQ(nesting.nestedAnswer, kAnswerIgnore);
    ASSERT_EQ(nesting.taskDialogs.size(), 2u);
    EXPECT_EQ(nesting.taskDialogs[1].mainInstruction, "Timer failed.");
    EXPECT_EQ(BugLog(), "20090307|090502|5.1.2600|" + kVersion +
                            "|tmrShowUpdate_Timer|5|frmMain|Timer failed|5\n"
                            "20090307|090502|5.1.2600|" +
                            kVersion +
                            "|mnuOpen_Click|2|frmMain|No such file or "
                            "directory|4\n");
}

TEST_F(ErrorHandlerTest, AbortProgramUnloadsTheMainWindowAndEnds) {
    AbortProgram();
    EXPECT_EQ(platform.unloadMainWindowCalls, 1);
    EXPECT_EQ(platform.endProgramCalls, 1);
    EXPECT_EQ(platform.lastExitStatus, 1);
}

class ErrorScopeTest : public ErrorHandlerTest {};

TEST_F(ErrorScopeTest, RetryRunsTheStepAgainWithANewReportEachTime) {
    platform.taskDialogAnswers = {kPressRetry, kPressRetry};
    int runs = 0;
    bool nextStepRan = false;
    ErrorScope scope("SearchFreeSpace", "modSearchFreeSpace");

    EXPECT_TRUE(scope.Step([&] {
        if (++runs < 3) {
            throw ErrnoError(EIO);
        }
    }));
    scope.Step([&] { nextStepRan = true; });

    EXPECT_EQ(runs, 3);
    EXPECT_TRUE(nextStepRan);
    EXPECT_EQ(platform.taskDialogs.size(), 2u);
    const std::string record =
        "|SearchFreeSpace|5|modSearchFreeSpace|" + std::string(std::strerror(EIO)) + "|4\n";
    const std::string log = BugLog();
    EXPECT_EQ(log.find(record), log.size() / 2 - record.size());
    EXPECT_EQ(log.rfind(record), log.size() - record.size());
}

TEST_F(ErrorScopeTest, IgnoreGoesOnWithTheNextStep) {
    platform.taskDialogAnswers = {kPressCancel};
    int runs = 0;
    bool nextStepRan = false;
    ErrorScope scope("Form_Load", "frmAbout");
    EXPECT_TRUE(scope.Step([&] {
        ++runs;
        throw RuntimeError(53, "File not found");
    }));
    EXPECT_TRUE(scope.Step([&] { nextStepRan = true; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(nextStepRan);
    EXPECT_FALSE(scope.Aborted());
    EXPECT_EQ(platform.taskDialogs.size(), 1u);
}

TEST_F(ErrorScopeTest, AbortEndsTheProgramAndStopsTheScope) {
    platform.taskDialogAnswers = {kPressClose};
    bool laterStepRan = false;
    ErrorScope scope("cmdNext_Click", "frmUpdate");
    EXPECT_FALSE(scope.Step([] { throw RuntimeError(5, "Input/output error"); }));
    EXPECT_FALSE(scope.Step([&] { laterStepRan = true; }));
    EXPECT_FALSE(laterStepRan);
    EXPECT_TRUE(scope.Aborted());
    EXPECT_EQ(platform.unloadMainWindowCalls, 1);
    EXPECT_EQ(platform.endProgramCalls, 1);
    EXPECT_NE(BugLog().find("|cmdNext_Click|5|frmUpdate|Input/output error|3\n"),
              std::string::npos);
}

TEST_F(ErrorScopeTest, EveryKindOfFailureIsReportedWithANumber) {
    ErrorScope scope("DownloadFile", "clsDownload");
    scope.Step([] { throw std::bad_alloc(); });
    scope.Step([] { throw std::runtime_error("Unexpected reply"); });
    scope.Step([] { throw RuntimeError(0, "Numberless"); });
    const std::string prefix = "20090307|090502|5.1.2600|" + kVersion + "|DownloadFile|";
    EXPECT_EQ(BugLog(), prefix + std::to_string(ENOMEM) + "|clsDownload|" + std::strerror(ENOMEM) +
                            "|1\n" + prefix + std::to_string(EIO) +
                            "|clsDownload|Unexpected reply|1\n" + prefix + std::to_string(EIO) +
                            "|clsDownload|Numberless|1\n");
}

}  // namespace
}  // namespace gapwell
