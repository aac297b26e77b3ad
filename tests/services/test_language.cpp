#include <gtest/gtest.h>

#include <string>

#include "services/Language.h"

namespace gapwell {
namespace {

int FromLang(const std::string& lang) {
    return LanguageIdForLocale({"", "", "", lang});
}

TEST(Language, EachLanguageCodeMapsToItsTable) {
    EXPECT_EQ(FromLang("da_DK.UTF-8"), 1030);
    EXPECT_EQ(FromLang("de_AT.UTF-8"), 1031);
    EXPECT_EQ(FromLang("en_GB.UTF-8"), 1033);
    EXPECT_EQ(FromLang("fi_FI"), 1035);
    EXPECT_EQ(FromLang("fr_CA.ISO-8859-1"), 1036);
    EXPECT_EQ(FromLang("it_IT@euro"), 1040);
    EXPECT_EQ(FromLang("nl"), 1043);
    EXPECT_EQ(FromLang("sk_SK.UTF-8"), 1051);
    EXPECT_EQ(FromLang("sl_SI.UTF-8"), 1060);
    EXPECT_EQ(FromLang("zh_CN.UTF-8"), 2052);
    EXPECT_EQ(FromLang("es_ES.UTF-8"), 3082);
}

TEST(Language, UnknownOrNeutralLocalesGiveEnglish) {
    EXPECT_EQ(FromLang("ja_JP.UTF-8"), 1033);
    EXPECT_EQ(FromLang("C"), 1033);
    EXPECT_EQ(FromLang("C.UTF-8"), 1033);
    EXPECT_EQ(FromLang("POSIX"), 1033);
    EXPECT_EQ(FromLang(""), 1033);
    EXPECT_EQ(LanguageIdForLocale({}), 1033);
}

TEST(Language, FirstMappableEntryOfLanguageListWins) {
    EXPECT_EQ(LanguageIdForLocale({"ja:pt_BR:sv:fi:de", "", "", "fr_FR.UTF-8"}), 1035);
    EXPECT_EQ(LanguageIdForLocale({"de_DE:fr", "", "", "it_IT.UTF-8"}), 1031);
    EXPECT_EQ(LanguageIdForLocale({"::nl:", "", "", ""}), 1043);
    // Nothing in the list maps: the locale variables decide.
    EXPECT_EQ(LanguageIdForLocale({"ja:ko", "", "", "es_ES.UTF-8"}), 3082);
}

TEST(Language, LocaleVariablesDecideInOrder) {
    EXPECT_EQ(LanguageIdForLocale({"", "de_DE", "fr_FR", "it_IT"}), 1031);
    EXPECT_EQ(LanguageIdForLocale({"", "", "fr_FR", "it_IT"}), 1036);
    EXPECT_EQ(LanguageIdForLocale({"", "C", "POSIX", "it_IT"}), 1040);
    // The first variable that names a language decides, also for a language without a table.
    EXPECT_EQ(LanguageIdForLocale({"", "ru_RU.UTF-8", "", "de_DE.UTF-8"}), 1033);
}

TEST(Language, DecimalSeparatorFollowsTheLanguage) {
    EXPECT_EQ(DecimalSeparatorOf(1031), ',');
    EXPECT_EQ(DecimalSeparatorOf(3082), ',');
    EXPECT_EQ(DecimalSeparatorOf(1033), '.');
    EXPECT_EQ(DecimalSeparatorOf(2052), '.');
    // A language without a table counts in English.
    EXPECT_EQ(DecimalSeparatorOf(1049), '.');
}

}  // namespace
}  // namespace gapwell
