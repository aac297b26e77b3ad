#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "release/ReleaseTool.h"
#include "support/CommandRun.h"
#include "support/TempFiles.h"
#include "update/TransferBounds.h"

namespace gapwell::release {
namespace {

using ToolRun = test::CommandRun;

ToolRun Tool(std::vector<std::string> arguments) {
    return test::RunCommand(RunReleaseTool, "gapwell-release", std::move(arguments));
}

TEST(ReleaseTool, KeygenSignVerify) {
    test::TempFolder folder;
    const std::string secret = (folder.Path() / "maker.key").string();
    const std::string archive = folder.Write("GPW.zip", {'P', 'K', 1, 2, 3});

    const ToolRun keygen = Tool({"keygen", secret});
    ASSERT_EQ(keygen.exitCode, 0) << keygen.err;
    const std::string publicKey = keygen.out.substr(0, keygen.out.find('\n'));
    EXPECT_EQ(publicKey.size(), 44u);
    struct stat status {};
    ASSERT_EQ(::stat(secret.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << "only the owner may read the secret key";

    const ToolRun sign =
        Tool({"sign", secret, archive, "1.2.4", "https://example.test/tarnwick/updates/GPW.zip"});
    ASSERT_EQ(sign.exitCode, 0) << sign.err;
    EXPECT_EQ(sign.out, "Gapwell|1.2.4|https://example.test/tarnwick/updates/GPW.zip\r\n");
    EXPECT_TRUE(std::filesystem::exists(archive + ".sig"));

    EXPECT_EQ(Tool({"verify", publicKey, archive, "1.2.4"}).exitCode, 0);
    EXPECT_EQ(Tool({"verify", publicKey, archive, "1.2.5"}).exitCode, 1);
    // The signature is for the name GPW.zip: the same bytes under another name do not verify.
    const std::string renamed = folder.Write("LICENSE.zip", {'P', 'K', 1, 2, 3});
    EXPECT_EQ(Tool({"verify", publicKey, renamed, "1.2.4", archive + ".sig"}).exitCode, 1);
}

TEST(ReleaseTool, NeverOverwritesASecretKeyAndReportsErrorsOnOneLine) {
    test::TempFolder folder;
    const std::string secret = folder.Write("maker.key", {'k', 'e', 'y', '\n'});
    const ToolRun again = Tool({"keygen", secret});
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_EQ(test::ReadText(secret), "key\n");

    const std::string archive = folder.Write("GPW.zip", {1});
    const ToolRun badKey = Tool({"sign", secret, archive, "1.2.4", "https://example.test/GPW.zip"});
    EXPECT_EQ(badKey.exitCode, 2);
    EXPECT_EQ(std::count(badKey.err.begin(), badKey.err.end(), '\n'), 1) << badKey.err;
    EXPECT_EQ(Tool({"sign"}).exitCode, 2);
    const std::string key = (folder.Path() / "new.key").string();
    ASSERT_EQ(Tool({"keygen", key}).exitCode, 0);
    EXPECT_EQ(Tool({"sign", key, archive, "1.2.4", "https://example.test/updates/"}).exitCode, 2)
        << "a URL without an archive file name";
    EXPECT_FALSE(std::filesystem::exists(archive + ".sig"));
}

// The tool prints only lines the program reads as usable, and signs nothing else.
TEST(ReleaseTool, SignRefusesALineTheProgramWouldRefuse) {
    test::TempFolder folder;
    const std::string secret = (folder.Path() / "maker.key").string();
    ASSERT_EQ(Tool({"keygen", secret}).exitCode, 0);
    const std::string archive = folder.Write("GPW.zip", {'P', 'K'});
    for (const char* url : {"https://example.test/LICENSE.zip", "example.test/GPW.zip",
                            "https://example.test/GPW.zip\n", "ftp://example.test/GPW.zip"}) {
        const ToolRun run = Tool({"sign", secret, archive, "1.2.4", url});
        EXPECT_EQ(run.exitCode, 2) << url;
        EXPECT_EQ(run.out, "") << url;
    }
    EXPECT_EQ(Tool({"sign", secret, archive, "1.2.x", "https://example.test/GPW.zip"}).exitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(archive + ".sig"));
}

// The notes follow the line as they are; a version file the program would refuse as too long is
// neither printed nor signed.
TEST(ReleaseTool, SignPrintsTheNotesAfterTheLineWithinTheBound) {
    test::TempFolder folder;
    const std::string secret = (folder.Path() / "maker.key").string();
    ASSERT_EQ(Tool({"keygen", secret}).exitCode, 0);
    const std::string archive = folder.Write("GPW.zip", {'P', 'K'});
    const std::string url = "https://example.test/GPW.zip";
    const std::string line = "Gapwell|1.2.4|" + url + "\r\n";
    const std::string notesText = "Faster search.\r\nA map of free space.\r\n";
    const std::string notes = folder.Write("notes.txt", {notesText.begin(), notesText.end()});

    const ToolRun sign = Tool({"sign", secret, archive, "1.2.4", url, notes});
    ASSERT_EQ(sign.exitCode, 0) << sign.err;
    EXPECT_EQ(sign.out, line + notesText);
    ASSERT_TRUE(std::filesystem::remove(archive + ".sig"));

    const std::vector<std::uint8_t> fits(64 * 1024 - line.size(), 'n');
    EXPECT_EQ(Tool({"sign", secret, archive, "1.2.4", url, folder.Write("fits.txt", fits)}).out,
              line + std::string(fits.begin(), fits.end()));
    ASSERT_TRUE(std::filesystem::remove(archive + ".sig"));

    const std::vector<std::uint8_t> tooLong(fits.size() + 1, 'n');
    const ToolRun refused =
        Tool({"sign", secret, archive, "1.2.4", url, folder.Write("long.txt", tooLong)});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_FALSE(std::filesystem::exists(archive + ".sig"));
    EXPECT_EQ(Tool({"sign", secret, archive, "1.2.4", url, notes + ".missing"}).exitCode, 2);
}

bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The tool signs what it reads: an input that is no regular file (it never blocks on a FIFO) or
// larger than its kind may be is refused with one clear line, and nothing is printed or written.
TEST(ReleaseTool, SignRefusesOddAndOversizedInputsAndWritesNothing) {
    test::TempFolder folder;
    const std::string secret = (folder.Path() / "maker.key").string();
    ASSERT_EQ(Tool({"keygen", secret}).exitCode, 0);
    const std::string archive = folder.Write("GPW.zip", {'P', 'K'});
    const std::string fifo = (folder.Path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string bigKey = folder.Write("big.key", std::vector<std::uint8_t>(1025, 'A'));
    const std::string bigArchive = (folder.Path() / "big.zip").string();
    std::filesystem::copy_file(archive, bigArchive);
    std::filesystem::resize_file(bigArchive, kMaxArchiveBytes + 1);  // sparse: refused unread
    const std::string url = "https://example.test/GPW.zip";
    struct Case {
        std::string key, archive, notes, error;
    };
    const Case cases[] = {
        {fifo, archive, "", "not a regular file: " + fifo},
        {secret, fifo, "", "not a regular file: " + fifo},
        {secret, archive, fifo, "not a regular file: " + fifo},
        {secret, "/dev/zero", "", "not a regular file: /dev/zero"},
        {secret, folder.Path().string(), "", "not a regular file: "},
        {bigKey, archive, "", "larger than a secret key file may be (1024 bytes): " + bigKey},
        {secret, bigArchive, "", "larger than a release archive may be"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"sign", c.key, c.archive, "1.2.4", url};
        if (!c.notes.empty()) {
            arguments.push_back(c.notes);
        }
        const ToolRun run = Tool(arguments);
        EXPECT_EQ(run.exitCode, 2) << c.error;
        EXPECT_EQ(run.out, "") << c.error;
        EXPECT_TRUE(Holds(run.err, c.error)) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_FALSE(std::filesystem::exists(c.archive + ".sig")) << c.error;
    }
    const ToolRun verify = Tool({"verify", "AAAA", archive, "1.2.4", fifo});
    EXPECT_EQ(verify.exitCode, 2);
    EXPECT_TRUE(Holds(verify.err, "not a regular file: " + fifo)) << verify.err;
}

// Files the maker names may be links, to a key kept on another disk say.
TEST(ReleaseTool, SignReadsTheKeyAndArchiveThroughLinks) {
    test::TempFolder folder;
    const std::string secret = (folder.Path() / "maker.key").string();
    const ToolRun keygen = Tool({"keygen", secret});
    ASSERT_EQ(keygen.exitCode, 0);
    const std::string archive = folder.Write("GPW.zip", {'P', 'K'});
    const std::filesystem::path keyLink = folder.Path() / "key-link";
    std::filesystem::create_symlink(secret, keyLink);
    std::filesystem::create_directory(folder.Path() / "out");
    const std::filesystem::path archiveLink = folder.Path() / "out" / "GPW.zip";
    std::filesystem::create_symlink(archive, archiveLink);

    const ToolRun sign = Tool(
        {"sign", keyLink.string(), archiveLink.string(), "1.2.4", "https://example.test/GPW.zip"});
    ASSERT_EQ(sign.exitCode, 0) << sign.err;
    const std::string publicKey = keygen.out.substr(0, keygen.out.find('\n'));
    EXPECT_EQ(Tool({"verify", publicKey, archive, "1.2.4", archiveLink.string() + ".sig"}).exitCode,
              0);
}

}  // namespace
}  // namespace gapwell::release
