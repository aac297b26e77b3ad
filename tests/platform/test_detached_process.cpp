#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>

#include "base/RuntimeError.h"
#include "platform/DetachedProcess.h"
#include "support/Polling.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

using namespace std::chrono_literals;

TEST(DetachedProcessTest, RunsInItsOwnSessionInTheFolderWithItsArguments) {
    test::TempFolder folder;
    const std::string report = (folder.Path() / "report.txt").string();
    // Session id and terminal (fields 6 and 7 of /proc/PID/stat), process id, working folder,
    // argument, standard input.
    StartDetachedProcess(
        "/bin/sh",
        {"-c",
         "arg=$1; read -r stat < /proc/$$/stat; set -- $stat; "
         "printf '%s %s %s\\n%s\\n%s\\n%s\\n' \"$6\" \"$7\" \"$$\" \"$(pwd)\" \"$arg\" "
         "\"$(readlink /proc/$$/fd/0)\" > report.tmp && mv report.tmp report.txt",
         "sh", "two words"},
        folder.Path().string());
    ASSERT_TRUE(test::WaitUntil([&] { return !test::ReadText(report).empty(); }, 10s));

    std::istringstream lines(test::ReadText(report));
    std::string session;
    std::string terminal;
    std::string pid;
    std::string workingFolder;
    std::string argument;
    std::string input;
    lines >> session >> terminal >> pid;
    lines.ignore();
    std::getline(lines, workingFolder);
    std::getline(lines, argument);
    std::getline(lines, input);
    EXPECT_NE(session, std::to_string(::getsid(0)));
    EXPECT_EQ(terminal, "0");
    EXPECT_NE(pid, std::to_string(::getpid()));
    EXPECT_EQ(workingFolder, std::filesystem::canonical(folder.Path()).string());
    EXPECT_EQ(argument, "two words");
    EXPECT_EQ(input, "/dev/null");
}

TEST(DetachedProcessTest, MissingProgramIsAFailure) {
    test::TempFolder folder;
    try {
        StartDetachedProcess((folder.Path() / "missing").string(), {}, folder.Path().string());
        FAIL() << "no failure";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), ENOENT);
    }
}

}  // namespace
}  // namespace gapwell
