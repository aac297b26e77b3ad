#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "base/RuntimeError.h"
#include "base/Version.h"
#include "support/TempFiles.h"
#include "update/VersionFile.h"

namespace gapwell {
namespace {

namespace fs = std::filesystem;

const ArchiveRules kHttpFolder{"http://h/tarnwick/updates/", "GPW"};
const ArchiveRules kHttpsFolder{"https://www.tarnwick.example/tarnwick/updates/", "GPW"};

VersionOffer ParseVersionLine(const std::string& line) {
    return gapwell::ParseVersionLine(line, kHttpFolder);
}

TEST(VersionLineTest, UsableLineOffersVersionUrlAndArchiveName) {
    const VersionOffer offer = ParseVersionLine(
        "Gapwell|1.2.4|https://www.tarnwick.example/tarnwick/updates/GPW.zip", kHttpsFolder);
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
        "Gapwell|1.2.4|http://h/a|/GPW.zip",     // four fields, the last two a usable URL
        "Gap\x7fwell|1.2.4|http://h/GPW.zip",    // DEL in the product field
        "|||",                                   // separators only
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
        "a|1.2.4|http://h/GPW..zip",             // ".." in the program's own archive name
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
    EXPECT_TRUE(ParseVersionLine("a|2|http://h/GPW.1.3-final.zip").usable);
    EXPECT_TRUE(ParseVersionLine("a|2|http://h/GPW.zip.part1").usable);
    EXPECT_TRUE(ParseVersionLine("a|2|http://h/GPW.1.03.zip").usable);
}

// The archive carries the program it is named after; the name is not covered by any signature,
// so a name other than the running program's own is an unusable line.
TEST(VersionLineTest, ArchiveMustBeNamedAfterTheRunningProgram) {
    for (const char* name : {"LICENSE.zip", "gpw.zip", "GPW_1.3.zip", "GPWX.zip", "xGPW.zip",
                             "GPW-1.zip", "readme.GPW.zip"}) {
        EXPECT_FALSE(ParseVersionLine(std::string("a|2|http://h/") + name).usable) << name;
    }
    EXPECT_TRUE(
        gapwell::ParseVersionLine("a|2|http://h/gapwell.zip", {"http://h/", "gapwell"}).usable);
    EXPECT_FALSE(gapwell::ParseVersionLine("a|2|http://h/GPW.zip", {"http://h/", ""}).usable);
}

// From an https update folder only absolute https archive URLs count; no URL may carry a NUL or
// another control character, which libcurl or a log would read differently.
TEST(VersionLineTest, ArchiveUrlKeepsHttpsAndHoldsNoControlCharacter) {
    const std::string https = "https://www.tarnwick.example/files/";
    EXPECT_TRUE(gapwell::ParseVersionLine("a|2|" + https + "GPW.zip", kHttpsFolder).usable);
    const std::string refused[] = {
        "a|2|http://www.tarnwick.example/files/GPW.zip",  // downgrade
        "a|2|HTTP://www.tarnwick.example/files/GPW.zip",
        "a|2|//www.tarnwick.example/files/GPW.zip",  // scheme-less
        "a|2|/files/GPW.zip",                        // relative
        "a|2|ftp://www.tarnwick.example/files/GPW.zip",
        "a|2|file:///tmp/GPW.zip",
        "a|2|https:///GPW.zip" + std::string(1, '\0'),
        "a|2|https://www.tarnwick.example" + std::string(1, '\0') + ".evil/GPW.zip",
        "a|2|https://www.tarnwick.example/\x01/GPW.zip",
        "a|2|https://www.tarnwick.example/\t/GPW.zip",
        "a|2|https://www.tarnwick.example/ /GPW.zip",
        "a|2|https://www.tarnwick.example/\x7f/GPW.zip",
        "a\x1b[2J|2|" + https + "GPW.zip",  // a control character in any field
    };
    for (const std::string& line : refused) {
        EXPECT_FALSE(gapwell::ParseVersionLine(line, kHttpsFolder).usable) << line;
    }
    // An http folder (a local mirror, a test's own server) may hand out http or https.
    EXPECT_TRUE(ParseVersionLine("a|2|" + https + "GPW.zip").usable);
    EXPECT_FALSE(ParseVersionLine("a|2|ftp://h/GPW.zip").usable);
    EXPECT_FALSE(ParseVersionLine("a|2|//h/GPW.zip").usable);
}

// Lines of many megabytes made of separators or dots are refused without a string per field.
TEST(VersionLineTest, LongLinesOfSeparatorsOrDotsAreUnusable) {
    const std::size_t length = 16 << 20;
    EXPECT_FALSE(ParseVersionLine(std::string(length, '|')).usable);
    EXPECT_FALSE(ParseVersionLine("a|" + std::string(length, '.') + "|http://h/GPW.zip").usable);
    EXPECT_FALSE(IsNewerVersion("1.2.3", std::string(length, '.')));
    EXPECT_TRUE(IsNewerVersion(std::string(length, '.'), "1"));
}

// The line gapwell-release writes is the line the program reads.
TEST(VersionLineTest, WrittenLineReadsBack) {
    const std::string url = "https://www.tarnwick.example/tarnwick/updates/GPW.zip";
    const std::string text = VersionLineText("1.2.4", url);
    EXPECT_EQ(text, "Gapwell|1.2.4|" + url + "\r\n");
    const VersionOffer offer = gapwell::ParseVersionLine(FirstLine(text), kHttpsFolder);
    EXPECT_TRUE(offer.usable);
    EXPECT_EQ(offer.newestVersion, "1.2.4");
    EXPECT_EQ(offer.archiveUrl, url);
}

// CR LF, a carriage return or a line feed alone ends the line.
TEST(VersionLineTest, FirstLineEndsAtTheFirstLineEnd) {
    EXPECT_EQ(FirstLine("a|1.2.4|http://h/GPW.zip\r\nsecond line"), "a|1.2.4|http://h/GPW.zip");
    EXPECT_EQ(FirstLine("one\rtwo"), "one");
    EXPECT_EQ(FirstLine("one\ntwo\r\nthree"), "one");
    EXPECT_EQ(FirstLine("\r\nsecond"), "");
    EXPECT_EQ(FirstLine("no end"), "no end");
    EXPECT_TRUE(ParseVersionLine(FirstLine("a|1.2.4|http://h/GPW.zip\nnotes")).usable);
}

TEST(VersionLineTest, UrlFileNameIsTheTextAfterTheLastSlash) {
    EXPECT_EQ(GetUrlFileName("http://h/a/b/GPW.zip"), "GPW.zip");
    EXPECT_EQ(GetUrlFileName("http://h/a/"), "");
    EXPECT_EQ(GetUrlFileName("GPW.zip"), "");
}

TEST(VersionFileTest, FirstLineIsReadAndTheFileStays) {
    test::TempFolder folder;
    const fs::path file = folder.Path() / "_upd957k.tmp";
    test::WriteText(file, "a|1.2.4|http://h/GPW.zip\r\nrest");
    EXPECT_EQ(ReadVersionFileLine(file.string()), "a|1.2.4|http://h/GPW.zip");
    EXPECT_TRUE(fs::exists(file));
}

// A read that failed keeps the file, so that Retry reads it again.
TEST(VersionFileTest, LinkIsNotReadAndStays) {
    test::TempFolder folder;
    const fs::path target = folder.Path() / "secret.txt";
    test::WriteText(target, "secret");
    const fs::path link = folder.Path() / "_upd957k.tmp";
    fs::create_symlink(target, link);

    EXPECT_THROW(ReadVersionFileLine(link.string()), RuntimeError);
    EXPECT_TRUE(fs::exists(fs::symlink_status(link)));
    EXPECT_EQ(test::ReadText(target), "secret");
}

// More than 64 KiB is no version file, whatever its first line says; it is read no further.
TEST(VersionFileTest, FileOver64KiBGivesAnEmptyLine) {
    test::TempFolder folder;
    const fs::path file = folder.Path() / "_upd957k.tmp";
    const std::string line = "a|1.2.4|http://h/GPW.zip\r\n";
    test::WriteText(file, line + std::string(64 * 1024 + 1 - line.size(), 'x'));
    EXPECT_EQ(ReadVersionFileLine(file.string()), "");
    test::WriteText(file, line + std::string(64 * 1024 - line.size(), 'x'));
    EXPECT_EQ(ReadVersionFileLine(file.string()), "a|1.2.4|http://h/GPW.zip");
}

// The error carries the system's number, for the Abort/Retry/Ignore message; nothing that is
// not a regular file is read, and a FIFO does not block.
TEST(VersionFileTest, UnreadableFileThrowsItsErrorNumber) {
    test::TempFolder folder;
    const fs::path fifo = folder.Path() / "_upd957k.tmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto errorOf = [](const fs::path& path) {
        try {
            ReadVersionFileText(path.string());
        } catch (const RuntimeError& error) {
            EXPECT_NE(error.Description().find(path.string()), std::string::npos);
            return error.Number();
        }
        return 0;
    };
    EXPECT_EQ(errorOf(fifo), EINVAL);
    EXPECT_EQ(errorOf(folder.Path()), EISDIR);
    EXPECT_EQ(errorOf(folder.Path() / "missing"), ENOENT);
}

TEST(VersionFileTest, UpdateFolderComesFromTheEnvironmentWhenSetAndNotEmpty) {
    const std::string builtIn = version::kUpdateBaseUrl;
    ASSERT_EQ(::unsetenv("GAPWELL_UPDATE_URL"), 0);
    EXPECT_EQ(UpdateBaseUrl(), builtIn);
    EXPECT_EQ(VersionFileUrl(), builtIn + version::kAppTitle + ".txt");
    ASSERT_EQ(::setenv("GAPWELL_UPDATE_URL", "", 1), 0);
    EXPECT_EQ(UpdateBaseUrl(), builtIn);
    ASSERT_EQ(::setenv("GAPWELL_UPDATE_URL", "http://127.0.0.1:8080/updates", 1), 0);
    EXPECT_EQ(UpdateBaseUrl(), "http://127.0.0.1:8080/updates/");
    ASSERT_EQ(::setenv("GAPWELL_UPDATE_URL", "http://127.0.0.1:8080/", 1), 0);
    EXPECT_EQ(VersionFileUrl(),
              std::string("http://127.0.0.1:8080/") + version::kAppTitle + ".txt");
    ASSERT_EQ(::unsetenv("GAPWELL_UPDATE_URL"), 0);
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
