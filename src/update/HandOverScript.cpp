#include "update/HandOverScript.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"

namespace gapwell {

namespace {

constexpr int kPollsPerSecond = 5;

}  // namespace

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string HandOverScript(const std::string& executable, int waitSeconds) {
    const std::string program = "./" + ShellQuote(executable);
    const std::string travelling = "./" + ShellQuote(executable + kTravellingSuffix);
    return "#!/bin/sh\n"
           "polls=0\n"
           "while kill -0 \"$1\" 2>/dev/null; do\n"
           "    polls=$((polls + 1))\n"
           "    if [ \"$polls\" -gt " +
           std::to_string(waitSeconds * kPollsPerSecond) +
           " ]; then\n"
           "        exit 1\n"
           "    fi\n"
           "    sleep 0.2\n"
           "done\n"
           "mv -f " +
           travelling + " " + program +
           " || exit 1\n"
           "rm -f ./" +
           kHandOverScriptPattern + "\nexec " + program + "\n";
}

void WriteHandOverScript(int folder, const std::string& name, const std::string& text) {
    const int fd =
        ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw ErrnoError(errno, name);
    }
    const bool written = WriteAll(fd, text);
    const int error = errno;
    if (::close(fd) != 0 && written) {
        throw ErrnoError(errno, name);
    }
    if (!written) {
        throw ErrnoError(error, name);
    }
}

}  // namespace gapwell
