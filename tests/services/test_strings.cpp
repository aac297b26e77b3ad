#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "services/StringTables.h"
#include "services/modErrorHandler.h"
#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "services/modMsgBox.h"
#include "support/PlatformFixture.h"

namespace gapwell {
namespace {

// Task-dialog results of the error report and the answers they stand for.
constexpr int kPressRetry = 4;   // Retry
constexpr int kPressCancel = 2;  // Ignore

// The ids named in modLocalizedIDs.h, read from its source so that a new constant is checked
// without being listed here.
std::vector<int> NamedIds() {
    const std::string header = test::ReadText(GAPWELL_STRING_IDS_HEADER);
    const std::regex constant(R"(inline constexpr int kStr\w+ = (\d+);)");
    std::vector<int> ids;
    for (auto match = std::sregex_iterator(header.begin(), header.end(), constant);
         match != std::sregex_iterator(); ++match) {
        ids.push_back(std::stoi((*match)[1]));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<int> IdsOf(const StringTable& table) {
    std::vector<int> ids;
    for (const auto& [id, text] : table) {
        ids.push_back(id);
    }
    return ids;
}

TEST(StringTables, EveryNamedIdIsInEnglishAndEveryTableHasTheEnglishIds) {
    EXPECT_EQ(StringTableLanguages(),
              (std::vector<int>{1030, 1031, 1033, 1035, 1036, 1040, 1043, 1051, 1060, 2052, 3082}));
    const std::vector<int> englishIds = IdsOf(StringTableFor(1033));
    ASSERT_FALSE(NamedIds().empty());
    EXPECT_EQ(NamedIds(), englishIds);
    for (const int language : StringTableLanguages()) {
        SCOPED_TRACE(language);
        const StringTable& table = StringTableFor(language);
        EXPECT_EQ(IdsOf(table), englishIds);
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

using LoadStringTest = test::PlatformFixture;

TEST_F(LoadStringTest, TextFollowsTheUserLanguage) {
    platform.locale.lang = "de_DE.UTF-8";
    EXPECT_EQ(LoadString(kStrMenuFile), "Datei");
    platform.locale.lang = "it_IT.UTF-8";
    EXPECT_EQ(LoadString(kStrUpdatesFolder), "Aggiornamenti");
    platform.locale.lang = "ru_RU.UTF-8";  // no table: English
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
    platform.locale.lang = "fr_FR.UTF-8";
    platform.taskDialogAnswers = {kPressRetry, kPressCancel};

    EXPECT_EQ(LoadString(kStrMenuFile), "");  // empty in French: reported, retried, reported

    EXPECT_EQ(platform.taskDialogs.size(), 2u);
    EXPECT_EQ(platform.taskDialogs[1].content, "LoadString@modLocalize");
}

TEST_F(LoadStringTest, RetrySucceedsOnceTheLanguageHasTheText) {
    // The language changes while the report box shows, so the repeated lookup finds the text.
    struct SwitchingPlatform : FakePlatform {
        int TaskDialog(const TaskDialogRequest& request) override {
            locale.lang = "en_US.UTF-8";
            return FakePlatform::TaskDialog(request);
        }
    } switching;
    switching.programFolder = folder.Path().string();
    switching.locale.lang = "fr_FR.UTF-8";
    switching.taskDialogAnswers = {kPressRetry};
    SetCurrentPlatform(&switching);

    EXPECT_EQ(LoadString(kStrMenuFile), "File");
    EXPECT_EQ(switching.taskDialogs.size(), 1u);
}

TEST_F(LoadStringTest, TryLoadStringReportsNothing) {
    platform.locale.lang = "fr_FR.UTF-8";
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
