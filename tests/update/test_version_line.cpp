#include <gtest/gtest.h>

#include <string>

#include "update/VersionCompare.h"
#include "update/VersionLine.h"

namespace gapwell {
namespace {

TEST(VersionLineTest, UsableLineOffersVersionUrlAndArchiveName) {
    const VersionOffer offer =
        ParseVersionLine("Gapwell|1.2.4|https://www.tarnwick.example/tarnwick/updates/GPW.zip");
    EXPECT_TRUE(offer.usable);
    EXPECT_EQ(offer.newestVersion, "1.2.4");
    EXPECT_EQ(offer.archiveUrl, "https://www.tarnwick.example/tarnwick/updates/GPW.zip");
    EXPECT_EQ(offer.archiveFileName, "GPW.zip");
}

TEST(VersionLineTest, UnusableLinesOfferNothing) {
    const char* const lines[] = {
        "",                                      // empty file or empty first line
        "a|1.2.4",                               // two fields
        "a|1.2.4|http://h/GPW.zip|d",            // four fields
        "a|1.2.a|http://h/GPW.zip",              // version not numeric
        "a|...|http://h/GPW.zip",                // no digit at all
        "a|+1.2|http://h/GPW.zip",               // sign
        "a| 1.2|http://h/GPW.zip",               // blank
        "a|1.2.4|http://h/GPW.ZIP",              // extension in capitals
        "a|1.2.4|http://h/GPW.rar",              // not a zip
        "a|1.2.4|http://h/GPW.zip/",             // no file name
        "a|1.2.4|GPW.zip",                       // no "/" at all
        "a|1.2.4|http://h/a\\..\\..\\evil.zip",  // path separators of another system
        "a|1.2.4|http://h/x..zip",               // ".."
        "a|1.2.4|http://h/GPW.zip?dl=1",         // query text in the name
        "a|1.2.4|http://h/GPW zip.zip",          // blank in the name
        "a|1.2.4|http://h/-rf.zip",              // would read as an option
        "a|1.2.4|http://h/.zip",                 // hidden file
        "a|1.2.4|http://h/GPW&del.zip",          // shell character
    };
    for (const char* line : lines) {
        const VersionOffer offer = ParseVersionLine(line);
        EXPECT_FALSE(offer.usable) << line;
        EXPECT_EQ(offer.newestVersion, "0.0.0") << line;
        EXPECT_EQ(offer.archiveFileName, "") << line;
    }
}

TEST(VersionLineTest, ZipMayStandAnywhereInThePlainName) {
    EXPECT_TRUE(ParseVersionLine("a|2|http://h/GPW_1.3-final.zip").usable);
    EXPECT_TRUE(ParseVersionLine("a|2|http://h/GPW.zip.part1").usable);
}

TEST(VersionLineTest, FirstLineEndsAtTheFirstCarriageReturnOnly) {
    EXPECT_EQ(FirstLine("a|1.2.4|http://h/GPW.zip\r\nsecond line"), "a|1.2.4|http://h/GPW.zip");
    EXPECT_EQ(FirstLine("one\rtwo"), "one");
    EXPECT_EQ(FirstLine("one\ntwo\r\nthree"), "one\ntwo");
    EXPECT_EQ(FirstLine("\r\nsecond"), "");
    EXPECT_EQ(FirstLine("no end"), "no end");
    // A line feed inside the line stays in field 3 and spoils the archive name.
    EXPECT_FALSE(ParseVersionLine(FirstLine("a|1.2.4|http://h/GPW.zip\nx")).usable);
}

TEST(VersionLineTest, UrlFileNameIsTheTextAfterTheLastSlash) {
    EXPECT_EQ(GetUrlFileName("http://h/a/b/GPW.zip"), "GPW.zip");
    EXPECT_EQ(GetUrlFileName("http://h/a/"), "");
    EXPECT_EQ(GetUrlFileName("GPW.zip"), "");
}

TEST(VersionCompareTest, VersionsCompareNumberByNumber) {
    struct Case {
        const char* current;
        const char* newest;
        bool newer;
    };
    const Case cases[] = {
        {"1.2.3", "1.2.4", true},  {"1.2.3", "1.2.3", false},
        {"1.2.3", "1.2.10", true}, {"1.9", "1.10", true},
        {"1.10", "1.9", false},    {"1.2.3", "1.3", true},
        {"1.2.3", "1.2", false},   {"1.2", "1.2.0", false},
        {"1.2", "1.2.1", true},    {"1.2.3", "01.002.03", false},
        {"1.2.3", "0.0.0", false}, {"1.2.3", "2", true},
        {"1.2.3", "1..4", false},  {"1.2.3", "1.2.99999999999999999999", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsNewerVersion(c.current, c.newest), c.newer) << c.current << " vs " << c.newest;
    }
}

}  // namespace
}  // namespace gapwell
