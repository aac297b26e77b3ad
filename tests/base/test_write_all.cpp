#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "base/PosixFile.h"

namespace gapwell {
namespace {

// A file that takes at most `limit` bytes per call, is interrupted before every other call and
// fails with ENOSPC once it holds `capacity` bytes.
struct ChokingFile {
    std::size_t limit;
    std::size_t capacity;
    std::string contents;
    int calls = 0;

    ssize_t Write(const char* data, std::size_t size) {
        if (++calls % 2 == 1) {
            errno = EINTR;
            return -1;
        }
        if (contents.size() >= capacity) {
            errno = ENOSPC;
            return -1;
        }
        const std::size_t taken = std::min({size, limit, capacity - contents.size()});
        contents.append(data, taken);
        return static_cast<ssize_t>(taken);
    }
};

TEST(WriteAll, RetriesShortAndInterruptedWritesUntilEverythingIsWritten) {
    const std::string record(1000, 'r');
    ChokingFile file{7, 1 << 20, {}};
    EXPECT_TRUE(WriteAll(
        record, [&](const char* data, std::size_t size) { return file.Write(data, size); }));
    EXPECT_EQ(file.contents, record);
}

TEST(WriteAll, StopsWhenTheFileIsFull) {
    ChokingFile file{7, 20, {}};
    EXPECT_FALSE(WriteAll(std::string(100, 'r'), [&](const char* data, std::size_t size) {
        return file.Write(data, size);
    }));
    EXPECT_EQ(file.contents, std::string(20, 'r'));  // what fitted stays

    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    EXPECT_FALSE(WriteAll(full, "record\n"));
    ::close(full);
}

TEST(WriteAll, ACallThatWritesNothingEndsTheLoop) {
    int calls = 0;
    EXPECT_FALSE(WriteAll("x", [&](const char*, std::size_t) -> ssize_t {
        ++calls;
        return 0;
    }));
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace gapwell
