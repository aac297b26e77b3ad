#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "TempFiles.h"
#include "platform/FakePlatform.h"
#include "services/StringTables.h"
#include "services/modErrorHandler.h"
#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "services/modMsgBox.h"

namespace gapwell {
namespace {

// Task-dialog results of the error report and the answers they stand for.
constexpr int kPressRetry = 4;   // Retry
constexpr int kPressCancel = 2;  // Ignore

std::vector<int> ExpectedIds() {
    std::vector<int> ids;
    auto addRange = [&](int first, int last) {
        for (int id = first; id <= last; ++id) {
            ids.push_back(id);
        }
    };
    addRange(1, 10);
    addRange(100, 107);
    addRange(109, 109);
    addRange(1000, 1002);
    addRange(2000, 2001);
    addRange(10000, 10025);
    return ids;
}

std::vector<int> IdsOf(const StringTable& table) {
    std::vector<int> ids;
    for (const auto& [id, text] : table) {
        ids.push_back(id);
    }
    return ids;
}

TEST(StringTables, ElevenLanguagesEachWithTheSameFiftyIds) {
    EXPECT_EQ(StringTableLanguages(),
              (std::vector<int>{1030, 1031, 1033, 1035, 1036, 1040, 1043, 1051, 1060, 2052, 3082}));
    ASSERT_EQ(ExpectedIds().size(), 50u);
    for (const int language : StringTableLanguages()) {
        SCOPED_TRACE(language);
        const StringTable& table = StringTableFor(language);
        EXPECT_EQ(IdsOf(table), ExpectedIds());
        EXPECT_EQ(table.count(108), 0u);
        for (const auto& [id, text] : table) {
            const bool frenchFileMenu = language == 1036 && id == kStrMenuFile;
            EXPECT_EQ(text.empty(), frenchFileMenu) << "id " << id;
        }
    }
}

TEST(StringTables, FirstTextOfEachLanguage) {
    const std::map<int, std::string> expected{
        {1030, "Søgeindstillinger"}, {1031, "Suchoptionen"},         {1033, "Search Options"},
        {1035, "Hakuvaihtoehtoja"},  {1036, "Options de recherche"}, {1040, "Opzioni di ricerca"},
        {1043, "Zoekopties"},        {1051, "Vyhľadávanie"},         {1060, "Možnosti iskanja"},
        {2052, "搜索选项"},          {3082, "Opciones de busqueda"}};
    for (const auto& [language, text] : expected) {
        EXPECT_EQ(StringTableFor(language).at(kStrSearchOptions), text) << language;
    }
}

TEST(StringTables, EnglishTextsKeepTheirExactForm) {
    const StringTable& english = StringTableFor(1033);
    EXPECT_EQ(english.at(kStrNoteHexadecimal), "NOTE: All offsets are in hexadecimal");
    EXPECT_EQ(english.at(kStrMenuOpenRom), "Open ROM...");
    EXPECT_EQ(english.at(kStrComplete), " complete.");
    EXPECT_EQ(english.at(kStrDownloaded), " downloaded...");
    EXPECT_EQ(english.at(kStrWelcome).substr(0, 27), "Welcome to the Live Update.");
    // Texts that are appended to composed lines begin with a blank in every language.
    for (const int language : StringTableLanguages()) {
        EXPECT_EQ(StringTableFor(language).at(kStrComplete).front(), ' ') << language;
        EXPECT_EQ(StringTableFor(language).at(kStrDownloaded).front(), ' ') << language;
    }
}

TEST(StringTables, LanguageWithoutTableGetsEnglish) {
    EXPECT_EQ(&StringTableFor(1049), &StringTableFor(1033));
    EXPECT_EQ(&StringTableFor(0), &StringTableFor(1033));
}

TEST(StringTables, ParserReadsIdsTabsAndTextsAsWritten) {
    const StringTable table =
        ParseStringTable("# comment\n\n7\tFind next\n10020\t complete.\n100\t");
    EXPECT_EQ(table, (StringTable{{7, "Find next"}, {100, ""}, {10020, " complete."}}));
}

TEST(StringTables, ParserRejectsMalformedLines) {
    EXPECT_THROW(ParseStringTable("abc\tx\n"), std::invalid_argument);
    EXPECT_THROW(ParseStringTable("-5\tx\n"), std::invalid_argument);
    EXPECT_THROW(ParseStringTable("12 x\n"), std::invalid_argument);
    EXPECT_THROW(ParseStringTable("99999999999\tx\n"), std::invalid_argument);
    EXPECT_THROW(ParseStringTable("1\ta\n1\tb\n"), std::invalid_argument);
}

TEST(ReadStringId, LeadingDigitsCountEverythingElseReadsAsZero) {
    EXPECT_EQ(ReadStringId("10024"), 10024);
    EXPECT_EQ(ReadStringId("7abc"), 7);
    EXPECT_EQ(ReadStringId("0"), 0);
    EXPECT_EQ(ReadStringId(""), 0);
    EXPECT_EQ(ReadStringId("abc"), 0);
    EXPECT_EQ(ReadStringId(" 5"), 0);
    EXPECT_EQ(ReadStringId("-5"), 0);
    EXPECT_EQ(ReadStringId("99999999999"), 0);
}

class LoadStringTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform.programFolder = folder.Path().string();
        SetCurrentPlatform(&platform);
        ForgetNTMajorVersion();
        ForgetVersionTexts();
    }
    void TearDown() override {
        ForgetNTMajorVersion();
        ForgetVersionTexts();
        SetCurrentPlatform(nullptr);
    }
    std::string BugLog() const {
        std::ifstream in(folder.Path() / "Bug.log", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    test::TempFolder folder;
    FakePlatform platform;
};

TEST_F(LoadStringTest, TextFollowsTheUserLanguage) {
    platform.languageId = 1031;
    EXPECT_EQ(LoadString(kStrMenuFile), "Datei");
    platform.languageId = 1040;
    EXPECT_EQ(LoadString(kStrUpdatesFolder), "Aggiornamenti");
    platform.languageId = 1049;  // no table: English
    EXPECT_EQ(LoadString(kStrNotEnoughFreeSpace), "Not enough free space found.");
    EXPECT_TRUE(platform.taskDialogs.empty());
}

TEST_F(LoadStringTest, UnknownIdIsReportedAndYieldsEmptyText) {
    platform.taskDialogAnswers = {kPressCancel};

    EXPECT_EQ(LoadString(108), "");

    ASSERT_EQ(platform.taskDialogs.size(), 1u);
    EXPECT_EQ(platform.taskDialogs[0].content, "LoadString@modLocalize");
    const std::string log = BugLog();
    EXPECT_NE(log.find("|LoadString|"), std::string::npos) << log;
    EXPECT_NE(log.find("|modLocalize|"), std::string::npos) << log;
    EXPECT_NE(log.find("108"), std::string::npos) << log;
}

TEST_F(LoadStringTest, RetryLooksTheTextUpAgain) {
    platform.languageId = 1036;
    platform.taskDialogAnswers = {kPressRetry, kPressCancel};

    EXPECT_EQ(LoadString(kStrMenuFile), "");  // empty in French: reported, retried, reported

    EXPECT_EQ(platform.taskDialogs.size(), 2u);
    EXPECT_EQ(platform.taskDialogs[1].content, "LoadString@modLocalize");
}

TEST_F(LoadStringTest, RetrySucceedsOnceTheLanguageHasTheText) {
    // The language changes while the report box shows, so the repeated lookup finds the text.
    struct SwitchingPlatform : FakePlatform {
        int TaskDialog(const TaskDialogRequest& request) override {
            languageId = 1033;
            return FakePlatform::TaskDialog(request);
        }
    } switching;
    switching.programFolder = folder.Path().string();
    switching.languageId = 1036;
    switching.taskDialogAnswers = {kPressRetry};
    SetCurrentPlatform(&switching);

    EXPECT_EQ(LoadString(kStrMenuFile), "File");
    EXPECT_EQ(switching.taskDialogs.size(), 1u);
}

TEST_F(LoadStringTest, TryLoadStringReportsNothing) {
    platform.languageId = 1036;
    EXPECT_EQ(TryLoadString(kStrMenuFile), std::nullopt);
    EXPECT_EQ(TryLoadString(108), std::nullopt);
    EXPECT_EQ(TryLoadString(kStrMenuEdit), "Édition");
    EXPECT_TRUE(platform.taskDialogs.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Bug.log"));
}

TEST(CalibriFont, NameContainingCalibriCounts) {
    EXPECT_TRUE(HasCalibriFont({"Arial", "Calibri"}));
    EXPECT_TRUE(HasCalibriFont({"Arial", "Calibri Light"}));
    EXPECT_TRUE(HasCalibriFont({"MS Calibri Sans"}));
    EXPECT_FALSE(HasCalibriFont({"calibri", "CALIBRI", "Cambria"}));
    EXPECT_FALSE(HasCalibriFont({}));
}

class CalibriCheckTest : public LoadStringTest {};

TEST_F(CalibriCheckTest, FontsAreExaminedOnlyOnce) {
    platform.fonts = {"DejaVu Sans", "Calibri Light"};
    CalibriFontCheck check;
    EXPECT_TRUE(check.Installed());
    platform.fonts = {"DejaVu Sans"};
    EXPECT_TRUE(check.Installed());
    EXPECT_EQ(platform.fontQueries, 1);

    CalibriFontCheck withoutCalibri;
    EXPECT_FALSE(withoutCalibri.Installed());
    EXPECT_FALSE(withoutCalibri.Installed());
    EXPECT_EQ(platform.fontQueries, 2);
}

TEST_F(CalibriCheckTest, FailedWalkIsReportedAndCountsAsExamined) {
    platform.failFonts = true;
    platform.taskDialogAnswers = {kPressRetry, kPressCancel};
    CalibriFontCheck check;

    EXPECT_FALSE(check.Installed());
    EXPECT_EQ(platform.fontQueries, 2);  // retried once
    ASSERT_EQ(platform.taskDialogs.size(), 2u);
    EXPECT_EQ(platform.taskDialogs[0].content, "Localize@modLocalize");

    platform.failFonts = false;
    platform.fonts = {"Calibri"};
    EXPECT_FALSE(check.Installed());
    EXPECT_EQ(platform.fontQueries, 2);
}

}  // namespace
}  // namespace gapwell
