// Bug.log under stress: several processes appending at once, writers killed in the middle of a
// record, another process holding the log, a file that cannot grow.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/Version.h"
#include "services/modErrorHandler.h"
#include "support/PlatformFixture.h"

namespace gapwell {
namespace {

const std::string kRecordStart =
    "20090307|090502|5.1.2600|" + std::string(version::kVersionText) + "|Writer|5|modStress|";

// Mixed record sizes: small ones and ones that span several pages of the file.
std::size_t PaddingOf(int index) {
    constexpr std::size_t kSizes[] = {0, 100, 3000, 9000};
    return kSizes[index % 4];
}

// Each record's description begins with a tag naming the writer, the trial and the index.
std::string Tag(int writer, int trial, int index) {
    return "w" + std::to_string(writer) + "t" + std::to_string(trial) + "n" + std::to_string(index);
}

std::string Description(int writer, int trial, int index) {
    return Tag(writer, trial, index) + ":" + std::string(PaddingOf(index), 'x');
}

std::string Record(int writer, int trial, int index) {
    return kRecordStart + Description(writer, trial, index) + "|0";
}

void LogOne(int writer, int trial, int index) {
    LogError("Writer", 5, "modStress", Description(writer, trial, index), 0);
}

// The tag that a line of the log shows; empty when the line is too short to hold a whole tag.
std::string TagOf(const std::string& line) {
    const std::size_t colon = line.find(':', kRecordStart.size());
    if (line.compare(0, kRecordStart.size(), kRecordStart) != 0 || colon == std::string::npos) {
        return {};
    }
    return line.substr(kRecordStart.size(), colon - kRecordStart.size());
}

// The whole record that a tag names; empty for no tag.
std::string RecordNamedBy(const std::string& tag) {
    int writer = 0;
    int trial = 0;
    int index = 0;
    if (std::sscanf(tag.c_str(), "w%dt%dn%d", &writer, &trial, &index) != 3) {
        return {};
    }
    return Record(writer, trial, index);
}

struct LogCensus {
    int records = 0;                  // whole records, one per line
    int blank = 0;                    // empty lines
    int torn = 0;                     // lines that are the start of a record cut short
    int broken = 0;                   // anything else: records glued together, stray bytes
    std::multiset<std::string> seen;  // tags of the whole records
};

// True when `line` is the start of the record it names, or too short to name one: the start of
// the common part and of a tag.
bool IsCutShort(const std::string& line, const std::string& named) {
    if (!named.empty()) {
        return line.size() < named.size() && named.compare(0, line.size(), line) == 0;
    }
    if (line.size() <= kRecordStart.size()) {
        return kRecordStart.compare(0, line.size(), line) == 0;
    }
    return line.compare(0, kRecordStart.size(), kRecordStart) == 0 &&
           line.find_first_not_of("wtn0123456789", kRecordStart.size()) == std::string::npos;
}

// Reads the log line by line (a stress run makes it large).
LogCensus Count(const std::filesystem::path& log) {
    LogCensus census;
    std::ifstream in(log, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        const std::string tag = TagOf(line);
        const std::string named = RecordNamedBy(tag);
        if (line.empty()) {
            ++census.blank;
        } else if (!named.empty() && line == named) {
            ++census.records;
            census.seen.insert(tag);
        } else if (IsCutShort(line, named)) {
            ++census.torn;
        } else {
            ++census.broken;
        }
    }
    return census;
}

// A forked writer that appends records until it is killed, telling the parent through a pipe
// the index of every record whose LogError has returned.
struct Writer {
    pid_t pid = -1;
    int done = -1;

    Writer(int writer, int trial) {
        int fds[2];
        if (::pipe(fds) != 0) {
            return;
        }
        pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            for (int index = 0;; ++index) {
                LogOne(writer, trial, index);
                if (::write(fds[1], &index, sizeof index) != sizeof index) {
                    ::_exit(1);
                }
            }
        }
        ::close(fds[1]);
        done = fds[0];
    }

    ~Writer() { Kill(); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Kills the writer (once; never anything else when the fork failed) and returns the indexes
    // of the records it finished.
    std::vector<int> Kill() {
        std::vector<int> finished;
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            pid = -1;
        }
        int index = 0;
        while (done >= 0 && ::read(done, &index, sizeof index) == sizeof index) {
            finished.push_back(index);
        }
        if (done >= 0) {
            ::close(done);
            done = -1;
        }
        return finished;
    }
};

class BugLogWriters : public test::PlatformFixture {
  protected:
    void SetUp() override {
        PlatformFixture::SetUp();
        platform.systemVersion = {5, 1, 2600, 2};
    }
};

TEST_F(BugLogWriters, TwoWritersKilledMidRecordLeaveWholeLinesOnly) {
    // GAPWELL_KILL_TRIALS raises the number of trials for a stress run.
    const char* trialsSetting = std::getenv("GAPWELL_KILL_TRIALS");
    const int trials = trialsSetting != nullptr ? std::atoi(trialsSetting) : 20;
    std::mt19937 random(22);
    std::uniform_int_distribution<int> pause(100, 2000);
    std::vector<std::string> finished;
    for (int trial = 0; trial < trials; ++trial) {
        Writer first(1, trial);
        Writer second(2, trial);
        ASSERT_GT(first.pid, 0);
        ASSERT_GT(second.pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        for (const int index : first.Kill()) {
            finished.push_back(Tag(1, trial, index));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random) / 10));
        for (const int index : second.Kill()) {
            finished.push_back(Tag(2, trial, index));
        }
    }

    const LogCensus census = Count(BugLogPath());
    std::cout << "kill trials: " << trials << ", whole records: " << census.records
              << ", torn: " << census.torn << ", blank lines: " << census.blank
              << ", broken lines: " << census.broken << '\n';
    EXPECT_EQ(census.blank, 0);
    EXPECT_EQ(census.broken, 0);
    // A killed writer leaves at most one record cut short.
    EXPECT_LE(census.torn, 2 * trials);
    // Every record whose LogError returned is there once; the one in progress may be too.
    EXPECT_GE(census.records, static_cast<int>(finished.size()));
    EXPECT_LE(census.records, static_cast<int>(finished.size()) + 2 * trials);
    for (const std::string& tag : finished) {
        EXPECT_EQ(census.seen.count(tag), 1u) << tag;
    }
}

TEST_F(BugLogWriters, RecordWaitsForAWriterInTheMiddleOfItsRecord) {
    const std::string other = Record(1, 0, 2) + "\n";
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // Another copy of the program, half through its record.
        const int fd = ::open(BugLogPath().c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
        const std::size_t half = other.size() / 2;
        const bool ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 &&
                        ::write(fd, other.data(), half) == static_cast<ssize_t>(half) &&
                        ::write(fds[1], "h", 1) == 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const bool rest = ok && ::write(fd, other.data() + half, other.size() - half) ==
                                    static_cast<ssize_t>(other.size() - half);
        ::_exit(rest ? 0 : 1);
    }
    ::close(fds[1]);
    char signal = 0;
    ASSERT_EQ(::read(fds[0], &signal, 1), 1);
    ::close(fds[0]);

    LogOne(2, 0, 0);

    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(BugLog(), other + Record(2, 0, 0) + "\n");
}

TEST_F(BugLogWriters, LogHeldByAnotherProcessForTooLongLosesTheRecord) {
    // Anyone who can read the log can lock it, shared or exclusive; a writer needs the log to
    // itself, and the report must not wait for ever. (A lock taken through another open file is
    // another process's lock as far as the writer is concerned.)
    for (const int lock : {LOCK_EX, LOCK_SH}) {
        const int fd = ::open(BugLogPath().c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::flock(fd, lock), 0);
        const auto start = std::chrono::steady_clock::now();
        LogOne(1, lock, 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << lock;
        EXPECT_EQ(BugLog(), "") << lock;
        ::close(fd);
    }
    LogOne(1, 0, 1);
    EXPECT_EQ(BugLog(), Record(1, 0, 1) + "\n");
}

TEST_F(BugLogWriters, LogThatIsNoRegularFileIsLeftAlone) {
    // A FIFO planted as Bug.log would take records until its buffer is full, then hang the report.
    ASSERT_EQ(::mkfifo(BugLogPath().c_str(), 0600), 0);
    const int reader = ::open(BugLogPath().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    LogOne(1, 0, 1);
    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0) << "a record went into the FIFO";
    ::close(reader);
}

TEST_F(BugLogWriters, RecordThatDoesNotFitIsRemovedAndTheReportStillShown) {
    const std::string earlier = Record(1, 0, 0) + "\n";
    folder.Write("Bug.log", {earlier.begin(), earlier.end()});
    platform.taskDialogAnswers = {2};  // Cancel, that is Ignore
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // The file may grow by 40 bytes only, as on a disk that is nearly full.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{earlier.size() + 40, earlier.size() + 40};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        SetPendingError(28, "No space left on device");
        const int answer = HandleError("Writer", "modStress");
        ::_exit(answer == kAnswerIgnore && platform.taskDialogs.size() == 1 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "no report box or wrong answer";
    EXPECT_EQ(BugLog(), earlier);

    // Once there is room again the next record starts clean.
    LogOne(1, 0, 4);
    EXPECT_EQ(BugLog(), earlier + Record(1, 0, 4) + "\n");
}

}  // namespace
}  // namespace gapwell
