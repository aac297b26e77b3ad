#include <gtest/gtest.h>

#include <string>

#include "update/ReleaseNotes.h"

namespace gapwell {
namespace {

using namespace std::string_literals;

const std::string kLine = "Gapwell|1.2.4|http://h/GPW.zip\r\n";

TEST(ReleaseNotesTest, OnlyTheTextAfterTheFirstLineCounts) {
    EXPECT_EQ(ReleaseNotesOf("Gapwell|1.2.4|http://h/GPW.zip"), "");
    EXPECT_EQ(ReleaseNotesOf(kLine), "");
    EXPECT_EQ(ReleaseNotesOf(kLine + "\r\n  \r\n\n"), "");
    EXPECT_EQ(ReleaseNotesOf(kLine + "Faster search.\r\nA map."), "Faster search.\nA map.");
    // Blank lines at either end go, the indentation of the first line stays.
    EXPECT_EQ(ReleaseNotesOf(kLine + "\r\n\r\n  - one\r\n\r\n  - two\r\n\r\n"),
              "  - one\n\n  - two");
    // A line feed alone ends the version line as well.
    EXPECT_EQ(ReleaseNotesOf("a|1|u\nnotes"), "notes");
    // CR without LF and LF without CR end note lines too.
    EXPECT_EQ(ReleaseNotesOf(kLine + "a\rb\nc"), "a\nb\nc");
}

// Control characters are dropped, but a tab shows as a blank.
TEST(ReleaseNotesTest, ControlCharactersAreDropped) {
    const std::string controls =
        "a\0b\x1B[31mc\td\x7F"
        "e\x08"s +
        "\xC2\x85"
        "f\xC2\x9B"
        "g\xC2\xA0h";
    EXPECT_EQ(ReleaseNotesOf(kLine + controls),
              "ab[31mc de"
              "f"
              "g\xC2\xA0h");
    EXPECT_EQ(ReleaseNotesOf(kLine + "Faster\tend"), "Faster end");
}

TEST(ReleaseNotesTest, InvalidUtf8IsReplaced) {
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(ReleaseNotesOf(kLine + "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"),
              "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(ReleaseNotesOf(kLine + "a\xFF"
                                     "b"),
              "a" + replacement + "b");
    // Overlong "/", a surrogate, past U+10FFFF, a sequence cut short by the end.
    EXPECT_EQ(ReleaseNotesOf(kLine + "\xC0\xAF"), replacement + replacement);
    EXPECT_EQ(ReleaseNotesOf(kLine + "\xED\xA0\x80"), replacement + replacement + replacement);
    EXPECT_EQ(ReleaseNotesOf(kLine + "\xF4\x90\x80\x80"),
              replacement + replacement + replacement + replacement);
    EXPECT_EQ(ReleaseNotesOf(kLine + "x\xE2\x82"), "x" + replacement + replacement);
}

TEST(ReleaseNotesTest, LongNotesAreCutAtACharacterAndMarked) {
    const std::string exact(kMaxReleaseNotesBytes, 'n');
    EXPECT_EQ(ReleaseNotesOf(kLine + exact), exact);

    const std::string oneLine(64 * 1024, 'n');
    EXPECT_EQ(ReleaseNotesOf(kLine + oneLine),
              std::string(kMaxReleaseNotesBytes, 'n') + std::string(kReleaseNotesCutMark));

    // "é" is two bytes: one that would be split at the bound is left out whole.
    const std::string accents = "x" + [] {
        std::string text;
        for (std::size_t i = 0; i < kMaxReleaseNotesBytes; i += 2) {
            text += "\xC3\xA9";
        }
        return text;
    }();
    const std::string notes = ReleaseNotesOf(kLine + accents);
    ASSERT_GT(notes.size(), kReleaseNotesCutMark.size());
    const std::string kept = notes.substr(0, notes.size() - kReleaseNotesCutMark.size());
    EXPECT_EQ(kept.size(), kMaxReleaseNotesBytes - 1);
    EXPECT_EQ(kept, accents.substr(0, kMaxReleaseNotesBytes - 1));
    EXPECT_EQ(notes.substr(kept.size()), kReleaseNotesCutMark);
}

}  // namespace
}  // namespace gapwell
