#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/LoopbackServer.h"
#include "support/PlatformFixture.h"
#include "support/TempFiles.h"
#include "support/TlsLoopback.h"
#include "update/DownloadEvents.h"
#include "update/clsDownload.h"

namespace gapwell {
namespace {

using test::ReadText;
using test::Reply;
using namespace std::chrono_literals;

// A body whose every byte depends on its position, so a misplaced piece shows.
std::string PatternBody(std::size_t size) {
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        body[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    return body;
}

class DownloadTest : public test::PlatformFixture {
  protected:
    void SetUp() override {
        PlatformFixture::SetUp();
        events.Attach(download);
    }

    // Serves `body` at /file in the given way and downloads it into the folder's "out.bin".
    void Fetch(const std::string& body, Reply reply = Reply::kNormal) {
        server.Serve("/file", body, reply);
        download.DownloadFile(server.Url("/file"), destination);
    }

    test::LoopbackServer server;
    std::string destination = (folder.Path() / "out.bin").string();
    clsDownload download;
    test::DownloadEvents events;
};

// Each progress event follows a piece of at most `pieceSize` bytes; the last one reaches the
// total. (How the body is split into pieces beyond that depends on the network.)
void ExpectPiecesOfAtMost(const test::DownloadEvents& events, std::int32_t pieceSize,
                          std::int32_t total) {
    ASSERT_GE(events.progress.size(),
              static_cast<std::size_t>((total + pieceSize - 1) / pieceSize));
    std::int32_t previous = 0;
    for (const auto& [current, announced] : events.progress) {
        EXPECT_EQ(announced, total);
        EXPECT_GT(current, previous);
        EXPECT_LE(current - previous, pieceSize);
        previous = current;
    }
    EXPECT_EQ(previous, total);
}

TEST_F(DownloadTest, CompleteBodyArrivesInBufferSizePiecesAndIsWritten) {
    const std::string body = PatternBody(20000);
    Fetch(body);

    ExpectPiecesOfAtMost(events, 8192, 20000);
    EXPECT_EQ(events.completions, std::vector<std::int32_t>{20000});
    EXPECT_TRUE(ReadText(destination) == body);
    for (const std::string& name : events.fileNames) {
        EXPECT_EQ(name, destination);
    }
}

TEST_F(DownloadTest, SmallerBufferSizeGivesSmallerPieces) {
    download.SetBufferSize(1000);
    Fetch(PatternBody(4500));

    ExpectPiecesOfAtMost(events, 1000, 4500);
    EXPECT_EQ(events.completions, std::vector<std::int32_t>{4500});
}

TEST_F(DownloadTest, SingleReadGivesOneProgressWithTheWholeLength) {
    Fetch("any|1.2.4|http://127.0.0.1/tarnwick/updates/GPW.zip");  // 51 bytes

    ASSERT_EQ(events.progress.size(), 1u);
    EXPECT_EQ(events.progress[0], std::make_pair(51, 51));
    EXPECT_EQ(events.completions, std::vector<std::int32_t>{51});
}

TEST_F(DownloadTest, RequestAsksCachesForAFreshCopy) {
    Fetch("x");
    const std::string head = server.LastRequestHead();
    EXPECT_EQ(head.rfind("GET /file HTTP/1.1\r\n", 0), 0u) << head;
    EXPECT_NE(head.find("\r\nCache-Control: no-cache"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nPragma: no-cache"), std::string::npos) << head;
}

// Only a 2xx answer is a download: an error status fails whatever its body and is noted in
// Bug.log; an answer whose Content-Length fields disagree fails too.
TEST_F(DownloadTest, ErrorStatusOrDisagreeingLengthsAreNoDownload) {
    for (const Reply reply : {Reply::kErrorPage, Reply::kServerError, Reply::kTwoLengths}) {
        Fetch("<html>missing</html>", reply);
        EXPECT_FALSE(std::filesystem::exists(destination));
    }
    EXPECT_EQ(events.completions, (std::vector<std::int32_t>{0, 0, 0}));
    const std::string log = BugLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
    EXPECT_NE(log.find("|DownloadFile|404|clsDownload|"), std::string::npos) << log;
    EXPECT_NE(log.find("|DownloadFile|500|clsDownload|"), std::string::npos) << log;
}

// The version file and a signature may come without a Content-Length (chunked, or ended by
// closing the connection): they are read up to their bound. The archive must announce its
// length.
TEST_F(DownloadTest, UnannouncedBodiesAreReadUpToTheirBound) {
    struct Case {
        TransferBounds bounds;
        Reply reply;
        std::size_t size;
        bool arrives;
    };
    const Case cases[] = {
        {kVersionCheckBounds, Reply::kChunked, 1000, true},
        {kAttendedCheckBounds, Reply::kNoContentLength, 64 * 1024, true},
        {kVersionCheckBounds, Reply::kChunked, 64 * 1024 + 1, false},
        {kSignatureBounds, Reply::kChunked, 88, true},
        {kSignatureBounds, Reply::kNoContentLength, 1025, false},
        {kArchiveBounds, Reply::kChunked, 1000, false},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(destination);
        download.SetBounds(c.bounds);
        const std::string body = PatternBody(c.size);
        Fetch(body, c.reply);
        EXPECT_EQ(events.completions.back(), c.arrives ? static_cast<std::int32_t>(c.size) : 0)
            << c.size;
        EXPECT_EQ(ReadText(destination) == body, c.arrives) << c.size;
    }
}

// Every failed transfer: one DownloadComplete with 0, and a file already at the destination
// keeps its old content.
class FailedTransferTest : public DownloadTest, public ::testing::WithParamInterface<Reply> {};

TEST_P(FailedTransferTest, ReportsZeroAndLeavesTheOldFile) {
    std::ofstream(destination, std::ios::binary) << "old content";

    Fetch(PatternBody(30000), GetParam());

    EXPECT_EQ(events.completions, std::vector<std::int32_t>{0});
    EXPECT_TRUE(ReadText(destination) == "old content");
}

INSTANTIATE_TEST_SUITE_P(Misbehaviours, FailedTransferTest,
                         ::testing::Values(Reply::kNoContentLength, Reply::kZeroLength,
                                           Reply::kDropMidBody,
                                           Reply::kChunkedLongerThanAnnounced));

// HTTP/1.1 ends the body at the announced length: bytes after it on the connection are not
// part of the response and are never read, let alone stored.
TEST_F(DownloadTest, BytesAfterTheAnnouncedLengthAreNeverStored) {
    const std::string body = PatternBody(30000);
    Fetch(body, Reply::kMoreThanAnnounced);
    EXPECT_EQ(events.completions, std::vector<std::int32_t>{15000});
    EXPECT_TRUE(ReadText(destination) == body.substr(0, 15000));
}

TEST_F(DownloadTest, UnreachableServerReportsZero) {
    std::string url;
    {
        const test::LoopbackServer closed;
        url = closed.Url("/file");
    }
    download.DownloadFile(url, destination);
    EXPECT_EQ(events.completions, std::vector<std::int32_t>{0});
    EXPECT_FALSE(std::filesystem::exists(destination));
}

TEST_F(DownloadTest, BufferSizeStartsAt8192AndIgnoresZero) {
    EXPECT_EQ(download.BufferSize(), 8192);
    download.SetBufferSize(0);
    EXPECT_EQ(download.BufferSize(), 8192);
    download.SetBufferSize(-5);
    EXPECT_EQ(download.BufferSize(), -5);
}

TEST_F(DownloadTest, NegativeBufferSizeFailsWithoutARequest) {
    download.SetBufferSize(-1);
    Fetch("data");
    EXPECT_EQ(server.RequestCount(), 0);
    EXPECT_TRUE(events.progress.empty());
    EXPECT_EQ(events.completions, std::vector<std::int32_t>{0});
}

TEST_F(DownloadTest, CancelDuringASlowBodyStopsAndWritesNothing) {
    download.DownloadProgress = [this](const std::string&, std::int32_t current,
                                       std::int32_t total) {
        events.progress.emplace_back(current, total);
        download.Cancel();
    };
    Fetch(PatternBody(64 * 1024), Reply::kSlowBody);

    EXPECT_EQ(events.progress.size(), 1u);
    EXPECT_EQ(events.completions, std::vector<std::int32_t>{0});
    EXPECT_FALSE(std::filesystem::exists(destination));
}

TEST_F(DownloadTest, DetachedOwnerHearsNothingMore) {
    download.DownloadProgress = [this](const std::string&, std::int32_t current,
                                       std::int32_t total) {
        events.progress.emplace_back(current, total);
        download.Cancel();
        download.DetachHandlers();  // the window closes inside its own handler
    };
    Fetch(PatternBody(64 * 1024), Reply::kSlowBody);

    EXPECT_EQ(events.progress.size(), 1u);
    EXPECT_TRUE(events.completions.empty());
    EXPECT_FALSE(std::filesystem::exists(destination));
}

TEST_F(DownloadTest, CallFromInsideAHandlerFailsAtOnce) {
    std::int32_t innerTotal = -1;
    download.DownloadProgress = [&](const std::string&, std::int32_t, std::int32_t) {
        download.DownloadComplete = [&](const std::string&, std::int32_t total) {
            innerTotal = total;
        };
        download.DownloadFile(server.Url("/file"), destination + ".inner");
        events.Attach(download);
    };
    Fetch("data");

    EXPECT_EQ(innerTotal, 0);
    EXPECT_EQ(server.RequestCount(), 1);
    EXPECT_EQ(events.completions, std::vector<std::int32_t>{4});
}

TEST_F(DownloadTest, StalledServerEndsAtTheStallBound) {
    download.SetBounds({5s, 0ms, 1s});
    Fetch(PatternBody(1000), Reply::kStall);
    EXPECT_EQ(events.completions, std::vector<std::int32_t>{0});
}

// The version file may announce at most 64 KiB: one byte more is refused as soon as the head is
// in, before any of the body is stored or reported; exactly 64 KiB arrives.
TEST_F(DownloadTest, VersionFileIsBoundedTo64KiB) {
    download.SetBounds(kVersionCheckBounds);
    Fetch(PatternBody(64 * 1024 + 1));
    EXPECT_TRUE(events.progress.empty());
    EXPECT_EQ(events.completions, std::vector<std::int32_t>{0});
    EXPECT_FALSE(std::filesystem::exists(destination));

    Fetch(PatternBody(64 * 1024));
    EXPECT_EQ(events.completions, (std::vector<std::int32_t>{0, 64 * 1024}));
}

// A NUL would cut the URL short where libcurl reads it, a line break would reach the request
// line; a scheme without a host is no URL: none is ever sent, and each is refused for being no
// sendable URL (libcurl would refuse some of them too).
TEST_F(DownloadTest, UrlWithANulOrControlCharacterIsNeverRequested) {
    server.Serve("/file", "data");
    const std::string file = server.Url("/file");
    const std::string refused[] = {file + std::string("\0.zip", 5),
                                   file + "\r\nX-Evil: 1",
                                   file + "\t",
                                   file + "\x7f",
                                   "https://",
                                   "http://"};
    for (const std::string& url : refused) {
        EXPECT_FALSE(IsSendableUrl(url)) << url;
        download.DownloadFile(url, destination);
    }
    EXPECT_TRUE(IsSendableUrl("https://h"));
    EXPECT_EQ(server.RequestCount(), 0);
    EXPECT_EQ(events.completions, std::vector<std::int32_t>(std::size(refused), 0));
    EXPECT_FALSE(std::filesystem::exists(destination));
}

// Redirects are followed within http(s) only: never to a file, an ftp server or the like; http
// may move up to https, https never down to http. Each refused redirect is noted with its 302.
TEST_F(DownloadTest, RedirectLeavingHttpIsNotFollowed) {
    const test::TlsLoopback tls(server);
    download.SetCertificateAuthorities(tls.CaFile());
    test::TempFolder elsewhere;
    const std::string secret = elsewhere.Write("secret.txt", {'s', 'e', 'c', 'r', 'e', 't'});
    server.Serve("/moved", "data");
    struct Case {
        std::string from;
        std::string to;
        bool arrives;
    };
    const Case cases[] = {
        {server.Url("/file"), "file://" + secret, false},
        {server.Url("/file"), "ftp://127.0.0.1:1/x", false},
        {server.Url("/file"), server.Url("/moved"), true},
        {server.Url("/file"), tls.Url("/moved"), true},
        {tls.Url("/file"), tls.Url("/moved"), true},
        {tls.Url("/file"), server.Url("/moved"), false},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(destination);
        server.Serve("/file", c.to, Reply::kRedirect);
        EXPECT_EQ(download.DownloadFile(c.from, destination), c.arrives ? 4 : 0) << c.to;
        EXPECT_EQ(ReadText(destination) == "data", c.arrives) << c.to;
    }
    const std::string log = BugLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;
    EXPECT_EQ(log.find("|DownloadFile|302|clsDownload|HTTP status 302 is no download: https:"),
              log.rfind("|DownloadFile|302|"))
        << log;
}

TEST_F(DownloadTest, SlowServerEndsAtTheTotalBound) {
    download.SetBounds({5s, 300ms, 0ms});
    Fetch(PatternBody(64 * 1024), Reply::kSlowBody);
    EXPECT_FALSE(events.progress.empty());
    EXPECT_EQ(events.completions, std::vector<std::int32_t>{0});
}

}  // namespace
}  // namespace gapwell
