#pragma once

#include <string>

namespace gapwell {

// The pattern of the hand-over scripts in the program folder (this one and leftovers).
inline constexpr const char* kHandOverScriptPattern = "DeleteOld_*.sh";
// What the new program's name carries until the script gives it the program's own name.
inline constexpr const char* kTravellingSuffix = ".new";

// The POSIX shell script that finishes an installation once the program has ended. It runs
// in the program folder with the program's process id as its one argument: it polls that
// process every 0.2 s; when the process is still there after `waitSeconds`, it gives up and
// changes nothing. Otherwise it renames executable + ".new" over `executable`, deletes the
// hand-over scripts (itself included) and replaces itself with the new executable, which so
// runs detached as the script did. Every name is quoted.
std::string HandOverScript(const std::string& executable, int waitSeconds);

// `text` in single quotes, safe as one word of a shell command.
std::string ShellQuote(const std::string& text);

// Writes the script in one piece as the new file `name` in `folder` (a descriptor); an existing
// name, a link included, is never reused or followed. Throws RuntimeError on failure.
void WriteHandOverScript(int folder, const std::string& name, const std::string& text);

}  // namespace gapwell
