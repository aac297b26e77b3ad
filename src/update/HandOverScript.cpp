#include "update/HandOverScript.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"
#include "update/FolderMove.h"
#include "update/InstallJournal.h"

namespace gapwell {

namespace {

constexpr int kPollsPerSecond = 5;

// "there": a name exists or is a link (dangling or not). "undo" puts back what the move-in
// changed, by the rules of UndoMoves, and keeps the work folder when something could not be put
// back. The work folder is never removed through a link in the updates folder's place.
constexpr std::string_view kScriptTemplate = R"(#!/bin/sh
work=@WORK@
there() { [ -e "$1" ] || [ -L "$1" ]; }
remove_work() { [ -L "${work%/*}" ] || rm -rf "$work"; }
undo() {
    kept=0
    for name in@LAST_FIRST@; do
        if there "./$name" && ! there "$work/@INCOMING@/$name"; then
            mv -f "./$name" "$work/@INCOMING@/$name" || kept=1
        fi
    done
    for aside in "$work/@ASIDE@"/* "$work/@ASIDE@"/.[!.]* "$work/@ASIDE@"/..?*; do
        there "$aside" || continue
        name=${aside##*/}
        if there "./$name"; then kept=1; else mv -f "$aside" "./$name" || kept=1; fi
    done
    [ "$kept" = 0 ] && rm -f "$work/@JOURNAL@" && remove_work
    exit 1
}
polls=0
while kill -0 "$1" 2>/dev/null; do
    polls=$((polls + 1))
    if [ "$polls" -gt @POLLS@ ]; then
        undo
    fi
    sleep 0.2
done
mv -f @TRAVELLING@ @PROGRAM@ || undo
remove_work
rm -f @SCRIPTS@
exec @PROGRAM@
)";

// Replaces every `placeholder` in `text` by `value`.
void Substitute(std::string& text, std::string_view placeholder, const std::string& value) {
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size())) {
        text.replace(at, placeholder.size(), value);
    }
}

}  // namespace

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string HandOverScript(const HandOverPlan& plan) {
    std::string lastFirst;
    for (auto name = plan.names.rbegin(); name != plan.names.rend(); ++name) {
        lastFirst += " " + ShellQuote(*name);
    }
    std::string script(kScriptTemplate);
    Substitute(script, "@WORK@", ShellQuote(plan.workFolder));
    Substitute(script, "@INCOMING@", kIncomingFolder);
    Substitute(script, "@ASIDE@", kAsideFolder);
    Substitute(script, "@JOURNAL@", kJournalName);
    Substitute(script, "@POLLS@", std::to_string(plan.waitSeconds * kPollsPerSecond));
    Substitute(script, "@TRAVELLING@", "./" + ShellQuote(plan.executable + kTravellingSuffix));
    Substitute(script, "@PROGRAM@", "./" + ShellQuote(plan.executable));
    Substitute(script, "@SCRIPTS@", std::string("./") + kHandOverScriptPattern);
    // Last: an archive's names are no placeholders for anything.
    Substitute(script, "@LAST_FIRST@", lastFirst);
    return script;
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
