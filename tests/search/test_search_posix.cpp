// Files that are not regular files, as POSIX systems have them (Windows: test_search_windows.cpp).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/RuntimeError.h"
#include "search/Pointers.h"
#include "search/RomFacts.h"
#include "search/modSearchFreeSpace.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using test::TempFolder;

TEST(SearchFreeSpace, OnlyRegularFilesAreRead) {
    TempFolder folder;
    const std::string fifo = (folder.Path() / "rom.gba").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A writer keeps the FIFO open, so that even a blocking open returns at once.
    const int writer = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        EXPECT_THROW(SearchFreeSpace(path, 0x00, 1, 0, kSearchChunkSize, 0), RuntimeError) << path;
        EXPECT_THROW(RomLength(path), RuntimeError) << path;  // what opening a ROM reads first
        try {
            ReadRomFacts(path);
            ADD_FAILURE() << path << " must be refused";
        } catch (const RuntimeError& error) {
            EXPECT_NE(error.Description().find("Not a regular file"), std::string::npos);
            EXPECT_NE(error.Description().find(path), std::string::npos);
        }
    }
    ::close(writer);
}

TEST(FindPointers, OnlyRegularFilesAreRead) {
    TempFolder folder;
    const std::string fifo = (folder.Path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(FindPointers(fifo, {{0, 1}}), RuntimeError);
    EXPECT_THROW(FindPointers("/dev/zero", {{0, 1}}), RuntimeError);
}

}  // namespace
}  // namespace gapwell
