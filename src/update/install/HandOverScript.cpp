#include "update/install/HandOverScript.h"

#include <string_view>

#include "base/PosixFile.h"
#include "base/Version.h"
#include "services/RecordFields.h"
#include "update/files/NoFollow.h"
#include "update/install/FolderMove.h"
#include "update/install/InstallJournal.h"
#include "update/install/InstallLock.h"

namespace gapwell {

namespace {

constexpr int kPollsPerSecond = 5;

// "there": a name exists or is a link (dangling or not). "safe": the updates folder, the work
// folder and its two folders are real folders of this user, checked before every move; when
// they are not, "stop" leaves everything in place (but this script) for the next start. "undo"
// puts back what the move-in changed, by the rules of UndoMoves, and keeps the work folder when
// something could not be put back. Every end but the new program's start writes one Bug.log
// record, and every end removes this script.
constexpr std::string_view kScriptTemplate = R"script(#!/bin/sh
work=@WORK@
updates=${work%/*}
script=@SCRIPT@
there() { [ -e "$1" ] || [ -L "$1" ]; }
own_folder() { [ -d "$1" ] && [ ! -L "$1" ] && [ -O "$1" ]; }
safe() {
    own_folder "$updates" && own_folder "$work" && own_folder "$work/@INCOMING@" &&
        own_folder "$work/@ASIDE@"
}
log() {
    [ -L @LOG@ ] || printf '%s|%s|%s\n' "$(date +%Y%m%d)" "$(date +%H%M%S)" "$1" >>@LOG@
}
stop() {
    log @STOPPED@
    rm -f "./$script"
    exit 1
}
remove_work() {
    gone="$updates/@REMOVED@$$"
    safe && ! there "$gone" && mv "$work" "$gone" && rm -rf "$gone"
}
undo() {
    kept=0
    for name in@LAST_FIRST@; do
        if there "./$name" && ! there "$work/@INCOMING@/$name"; then
            safe || stop
            mv -f "./$name" "$work/@INCOMING@/$name" || kept=1
        fi
    done
    for aside in "$work/@ASIDE@"/* "$work/@ASIDE@"/.[!.]* "$work/@ASIDE@"/..?*; do
        there "$aside" || continue
        name=${aside##*/}
        if there "./$name"; then
            kept=1
        else
            safe || stop
            mv -f "$aside" "./$name" || kept=1
        fi
    done
    if [ "$kept" = 0 ] && rm -f "$work/@JOURNAL@"; then
        log @UNDONE@
        remove_work
    else
        log @KEPT@
    fi
    rm -f "./$script"
    exit 1
}
# The lock first, so that a start finds the installation taken as soon as possible.
exec 9<"$work/@LOCK@" || exit 1
flock 9 || stop
safe || stop
if ! there "$work/@JOURNAL@"; then
    # A start that took the lock first has undone the installation.
    rm -f "./$script"
    exit 0
fi
polls=0
while kill -0 "$1" 2>/dev/null; do
    polls=$((polls + 1))
    if [ "$polls" -gt @POLLS@ ]; then
        undo
    fi
    sleep 0.2
done
safe || stop
mv -f @TRAVELLING@ @PROGRAM@ || undo
rm -f @SCRIPTS@
remove_work
exec @PROGRAM@ 9<&-
)script";

// Replaces every `placeholder` in `text` by `value`.
void Substitute(std::string& text, std::string_view placeholder, const std::string& value) {
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size())) {
        text.replace(at, placeholder.size(), value);
    }
}

// A Bug.log record without its date and time, which the script adds when it writes it.
std::string HandOverRecord(const HandOverPlan& plan, const std::string& description) {
    const std::string fields[] = {plan.systemVersion, version::kVersionText, "HandOver", "4",
                                  "DeleteOld",        description,           "0"};
    std::string record;
    for (const std::string& field : fields) {
        record += (record.empty() ? "" : "|") + EscapeRecordField(field);
    }
    return record;
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
    Substitute(script, "@LOCK@", kHandOverLockName);
    Substitute(script, "@REMOVED@", kRemovedFolderPrefix);
    Substitute(script, "@SCRIPT@", ShellQuote(plan.scriptName));
    Substitute(script, "@LOG@", ShellQuote(plan.bugLog));
    const std::string work = plan.workFolder;
    Substitute(
        script, "@STOPPED@",
        ShellQuote(HandOverRecord(plan, "The update was stopped before a move: " + work +
                                            " or a folder around it is not a real folder of this "
                                            "user, or it could not be locked; everything was left "
                                            "in place")));
    Substitute(script, "@UNDONE@",
               ShellQuote(HandOverRecord(plan,
                                         "The update was not installed: the program did not end "
                                         "in time or the new program could not take its name; "
                                         "the old release is back in place")));
    Substitute(script, "@KEPT@",
               ShellQuote(HandOverRecord(plan,
                                         "The update was not installed, and not every file could "
                                         "be put back; they are kept in " +
                                             work + " and put back at the next start")));
    Substitute(script, "@POLLS@", std::to_string(plan.waitSeconds * kPollsPerSecond));
    Substitute(script, "@TRAVELLING@", "./" + ShellQuote(plan.executable + kTravellingSuffix));
    Substitute(script, "@PROGRAM@", "./" + ShellQuote(plan.executable));
    Substitute(script, "@SCRIPTS@", std::string("./") + kHandOverScriptPattern);
    // Last: an archive's names are no placeholders for anything.
    Substitute(script, "@LAST_FIRST@", lastFirst);
    return script;
}

void WriteHandOverScript(int folder, const std::string& name, const std::string& text) {
    WriteNewFile(folder, name, text, 0644);
}

}  // namespace gapwell
