#include "platform/DetachedProcess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"

namespace gapwell {

namespace {

// Tells the starting process why the program could not be executed, and ends.
[[noreturn]] void Fail(int report) {
    const int error = errno;
    (void)::write(report, &error, sizeof error);
    ::_exit(127);
}

// Runs in the grandchild, between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecuteDetached(const char* program, char* const* argv, const char* folder,
                                  int report) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigaction(SIGPIPE, &standard, nullptr);
    // The program gets none of our open files (the report pipe closes on exec already).
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    const int null = ::open("/dev/null", O_RDWR);
    if (null < 0 || ::dup2(null, 0) < 0 || ::dup2(null, 1) < 0 || ::dup2(null, 2) < 0) {
        Fail(report);
    }
    if (::chdir(folder) != 0) {
        Fail(report);
    }
    ::execv(program, argv);
    Fail(report);
}

// The errno the grandchild reported, 0 when the pipe closed without one (exec succeeded).
int ReadReport(int fd) {
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(fd, &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

}  // namespace

void StartDetachedProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& workingFolder) {
    std::vector<std::string> texts{program};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(texts.size() + 1);
    for (std::string& text : texts) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        throw ErrnoError(errno, program);
    }
    UniqueFd reading(ends[0]);
    UniqueFd writing(ends[1]);

    // The child starts a new session and forks the program's process, then ends at once, so
    // that the program is adopted by init and never becomes our zombie.
    const pid_t child = ::fork();
    if (child < 0) {
        throw ErrnoError(errno, program);
    }
    if (child == 0) {
        if (::setsid() < 0) {
            Fail(writing.Get());
        }
        const pid_t grandchild = ::fork();
        if (grandchild < 0) {
            Fail(writing.Get());
        }
        if (grandchild == 0) {
            ExecuteDetached(program.c_str(), argv.data(), workingFolder.c_str(), writing.Get());
        }
        ::_exit(0);
    }
    writing.Reset();
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const int error = ReadReport(reading.Get());
    if (error != 0) {
        throw ErrnoError(error, program);
    }
}

}  // namespace gapwell
