#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "services/modMsgBox.h"
#include "support/PlatformFixture.h"

namespace gapwell {
namespace {

constexpr OsVersionInfo kWindows10{10, 0, 19045, 2};
constexpr OsVersionInfo kVista{6, 0, 6000, 2};
constexpr OsVersionInfo kWindowsXp{5, 1, 2600, 2};
constexpr OsVersionInfo kNt4{4, 0, 1381, 2};
constexpr OsVersionInfo kWindows98{4, 10, 2222, 1};

class MsgBoxTest : public test::PlatformFixture {
  protected:
    void PlaySystem(const OsVersionInfo& version) { platform.versionEx = version; }

    // Shows a box with the given button argument on the task-dialog path and answers it.
    int AnswerTaskDialog(int buttons, int result) {
        platform.taskDialogAnswers.push_back(result);
        return MessageBox("Text", std::nullopt, buttons, 0, 0, false);
    }
};

TEST_F(MsgBoxTest, ChoosesTaskDialogFromVersionSixUnlessClassicIsForced) {
    struct Case {
        OsVersionInfo system;
        bool forceClassic;
        bool expectTaskDialog;
    };
    const std::vector<Case> cases{
        {kWindows10, false, true}, {kVista, false, true},     {kWindowsXp, false, false},
        {kNt4, false, false},      {kWindows10, true, false}, {kWindows98, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.system.major) + " forceClassic " +
                     std::to_string(c.forceClassic));
        FakePlatform fresh;
        fresh.versionEx = c.system;
        SetCurrentPlatform(&fresh);
        ForgetNTMajorVersion();
        MessageBox("Text", std::nullopt, 0, 0, 0, c.forceClassic);
        EXPECT_EQ(fresh.taskDialogs.size(), c.expectTaskDialog ? 1u : 0u);
        EXPECT_EQ(fresh.classicBoxes.size(), c.expectTaskDialog ? 0u : 1u);
    }
}

TEST_F(MsgBoxTest, NTMajorVersionIsCachedOnlyForNtSystems) {
    PlaySystem(kWindowsXp);
    EXPECT_EQ(NTMajorVersion(), 5);
    PlaySystem(kWindows10);
    EXPECT_EQ(NTMajorVersion(), 5);
    EXPECT_EQ(platform.versionExQueries, 1);

    ForgetNTMajorVersion();
    PlaySystem(kWindows98);
    EXPECT_EQ(NTMajorVersion(), 0);
    EXPECT_EQ(NTMajorVersion(), 0);
    EXPECT_EQ(platform.versionExQueries, 3);

    platform.versionEx.reset();  // the query fails
    EXPECT_EQ(NTMajorVersion(), 0);
}

TEST_F(MsgBoxTest, TaskDialogButtonsAndCloseFlag) {
    const std::vector<std::pair<int, int>> cases{
        {0, 0x01},        {1, 0x09},        {2, 0x38},          {3, 0x0E},  {4, 0x06},
        {5, 0x18},        {6, 0x38},        {7, 0x00},          {15, 0x00}, {0x20 | 4, 0x26},
        {0x20 | 0, 0x21}, {0x20 | 7, 0x20}, {0x4000 | 1, 0x09},
    };
    for (const auto& [buttons, common] : cases) {
        SCOPED_TRACE(buttons);
        MessageBox("Text", std::nullopt, buttons, 0, 0, false);
        EXPECT_EQ(platform.taskDialogs.back().commonButtons, common);
    }
}

TEST_F(MsgBoxTest, TaskDialogIcons) {
    const std::vector<std::pair<int, int>> cases{
        {0, 0},       {16, 0xFFFE},     {32, 0xFFFD},     {48, 0xFFFF},      {64, 0xFFFD},
        {-4, 0xFFFC}, {0xFFFB, 0xFFFB}, {0xFFF7, 0xFFF7}, {0x10010, 0xFFFE},
    };
    for (const auto& [icon, shown] : cases) {
        SCOPED_TRACE(icon);
        MessageBox("Text", std::nullopt, 0, icon, 0, false);
        EXPECT_EQ(platform.taskDialogs.back().icon, shown);
    }
}

TEST_F(MsgBoxTest, TaskDialogResultsMapBackToClassicAnswers) {
    struct Case {
        int buttons;
        int result;
        int answer;
    };
    const std::vector<Case> cases{
        {2, kIdRetry, kIdRetry},
        {2, kIdCancel, kIdIgnore},
        {2, kIdClose, kIdAbort},
        {6, kIdRetry, kIdTryAgain},
        {6, kIdCancel, kIdContinue},
        {6, kIdClose, kIdCancel},
        {1, kIdCancel, kIdCancel},
        {3, kIdYes, kIdYes},
        {0x20 | 3, kIdClose, kIdClose},
        {5, kIdRetry, kIdRetry},
        {2, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.buttons) + " result " + std::to_string(c.result));
        EXPECT_EQ(AnswerTaskDialog(c.buttons, c.result), c.answer);
    }
}

TEST_F(MsgBoxTest, TextIsSplitAtTheFirstLineBreak) {
    struct Case {
        std::string text;
        std::string mainInstruction;
        std::optional<std::string> content;
    };
    const std::vector<Case> cases{
        {"One line", "One line", std::nullopt},
        {"First\r\nSecond", "First", "Second"},
        {"First\rSecond", "First", "Second"},
        {"First\nSecond", "First", "Second"},
        {"Lone\nLF then\r\nCR LF", "Lone\nLF then", "CR LF"},
        {"Lone\nLF then\rCR", "Lone\nLF then", "CR"},
        {"A\r\nB\r\nC", "A", "B\r\nC"},
        {"\r\nStarts with a break", "", "Starts with a break"},
        {"Ends with a break\r\n", "Ends with a break", ""},
        {"", "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        MessageBox(c.text, std::nullopt, 0, 0, 0, false);
        EXPECT_EQ(platform.taskDialogs.back().mainInstruction, c.mainInstruction);
        EXPECT_EQ(platform.taskDialogs.back().content, c.content);
    }
}

TEST_F(MsgBoxTest, AbsentTitleIsTheApplicationTitle) {
    MessageBox("Text", std::nullopt, 0, 0, 0, false);
    MessageBox("Text", std::string(), 0, 0, 0, false);
    MessageBox("Text", "Own title", 0, 0, 0, false);
    MessageBox("Text", std::nullopt, 0, 0, 0, true);
    ASSERT_EQ(platform.taskDialogs.size(), 3u);
    EXPECT_EQ(platform.taskDialogs[0].title, "GPW");
    EXPECT_EQ(platform.taskDialogs[1].title, "");
    EXPECT_EQ(platform.taskDialogs[2].title, "Own title");
    ASSERT_EQ(platform.classicBoxes.size(), 1u);
    EXPECT_EQ(platform.classicBoxes[0].title, "GPW");
}

TEST_F(MsgBoxTest, ShowMessageSplitsTheStyle) {
    platform.taskDialogAnswers.push_back(kIdOk);
    EXPECT_EQ(ShowMessage("Not enough free space found.", 48), kIdOk);
    const TaskDialogRequest& shown = platform.taskDialogs.back();
    EXPECT_EQ(shown.title, "GPW");
    EXPECT_EQ(shown.mainInstruction, "Not enough free space found.");
    EXPECT_FALSE(shown.content.has_value());
    EXPECT_EQ(shown.commonButtons, 0x01);
    EXPECT_EQ(shown.icon, 0xFFFF);
}

TEST_F(MsgBoxTest, ClassicStyleCarriesButtonsIconsOptionsAndHelp) {
    PlaySystem(kWindowsXp);
    struct Case {
        int buttons;
        int icon;
        int options;
        int style;
    };
    const std::vector<Case> cases{
        {0, 0, 0, 0x00},          {4, 32, 0x100, 0x124},
        {6, 64, 0x200, 0x246},    {0x4000 | 1, 16, 0, 0x4011},
        {0x20 | 2, 0, 0, 0x02},    // the Close flag belongs to task dialogs
        {2, 0, 0x1000300, 0x302},  // options outside 0xFFFF00 are dropped
        {0, 0xFFF9, 0, 16},        // shield variants become classic icons
        {0, 0xFFFA, 0, 48},       {0, 0xFFF7, 0, 64},
        {0, 0xFFF8, 0, 64},       {0, 0xFFFB, 0, 64},
        {0, -4, 0, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.buttons) + " icon " + std::to_string(c.icon));
        MessageBox("Line 1\r\nLine 2", std::nullopt, c.buttons, c.icon, c.options, false);
        EXPECT_EQ(platform.classicBoxes.back().style, c.style);
        EXPECT_EQ(platform.classicBoxes.back().text, "Line 1\r\nLine 2");
    }
    EXPECT_TRUE(platform.taskDialogs.empty());
}

TEST_F(MsgBoxTest, CancelTryContinueBecomesAbortRetryIgnoreBeforeVersionFive) {
    for (const OsVersionInfo& system : {kNt4, kWindows98}) {
        SCOPED_TRACE(system.platformId);
        FakePlatform old;
        old.versionEx = system;
        old.classicAnswers = {kIdAbort, kIdRetry, kIdIgnore};
        SetCurrentPlatform(&old);
        ForgetNTMajorVersion();
        EXPECT_EQ(MessageBox("Text", std::nullopt, 6, 48, 0, false), kIdCancel);
        EXPECT_EQ(MessageBox("Text", std::nullopt, 6, 48, 0, false), kIdTryAgain);
        EXPECT_EQ(MessageBox("Text", std::nullopt, 6, 48, 0, false), kIdContinue);
        for (const FakePlatform::ClassicCall& call : old.classicBoxes) {
            EXPECT_EQ(call.style, 48 | 2);
        }
    }
}

TEST_F(MsgBoxTest, CancelTryContinueStaysFromVersionFive) {
    PlaySystem(kWindowsXp);
    platform.classicAnswers = {kIdTryAgain, kIdAbort};
    EXPECT_EQ(MessageBox("Text", std::nullopt, 6, 0, 0, false), kIdTryAgain);
    EXPECT_EQ(platform.classicBoxes.back().style, 6);
    // Abort/Retry/Ignore itself is never translated.
    PlaySystem(kNt4);
    ForgetNTMajorVersion();
    EXPECT_EQ(MessageBox("Text", std::nullopt, 2, 0, 0, false), kIdAbort);
}

TEST_F(MsgBoxTest, ForcedClassicOnNewSystemsKeepsCancelTryContinue) {
    platform.classicAnswers = {kIdContinue};
    EXPECT_EQ(MessageBox("Text", std::nullopt, 6, 0, 0, true), kIdContinue);
    EXPECT_EQ(platform.classicBoxes.back().style, 6);
    EXPECT_TRUE(platform.taskDialogs.empty());
}

}  // namespace
}  // namespace gapwell
