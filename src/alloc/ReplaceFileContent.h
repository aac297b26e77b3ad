#pragma once

#include <string>

namespace gapwell {

// Gives the file at `path` the content `text`: writes it to a new file beside `path`, created
// exclusively (a file or link planted under that name is never written through), flushes it to
// the disk and renames it over `path`. `path` holds either its old content or all of the new one,
// never a part; on any failure the new file is removed and `path` is left as it was. An existing
// file's permissions carry over. Throws RuntimeError.
// ReplaceFileContent.cpp holds the POSIX body, ReplaceFileContentWin32.cpp the Windows one (named
// so because windows.h makes ReplaceFile a macro).
void ReplaceFileContent(const std::string& path, const std::string& text);

}  // namespace gapwell
