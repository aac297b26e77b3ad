#pragma once

#include <string>
#include <string_view>

namespace gapwell {

// Appends `line` (one record ending in a line break) to the log file at `path`, creating it when
// missing. Every copy of the program appends under an exclusive lock on the file, held from the
// look at the file's end to the end of the write, so that records of several copies never mix.
// After a record that a killed writer cut short, the line starts with a line break of its own.
// A line that cannot be written whole (a full disk) is removed again, so that the file still
// ends where it ended before. Nothing is written when the path names no regular file, or when
// another process holds the lock for longer than a writer ever needs; the line is then lost.
void AppendLogLine(const std::string& path, std::string_view line);

}  // namespace gapwell
