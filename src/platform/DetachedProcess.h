#pragma once

#include <string>
#include <vector>

namespace gapwell {

// Starts `program` (a path; no search of PATH) with `arguments` as a process that outlives the
// caller and is not its child: its own session without a terminal, standard input and output
// on /dev/null, none of the caller's other open files, `workingFolder` as its working directory,
// default signal handling. Returns once the program has been executed; throws RuntimeError (with
// the errno of the failing call) when the process could not be started.
void StartDetachedProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& workingFolder);

}  // namespace gapwell
