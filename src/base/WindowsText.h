#pragma once

// Windows only: the program keeps text in UTF-8; Windows takes and gives file names and
// arguments in UTF-16.

#include <string>

#include "base/RuntimeError.h"

namespace gapwell {

// UTF-8 to UTF-16; invalid UTF-8 throws RuntimeError naming `what`.
std::wstring Utf8ToWide(const std::string& text, const std::string& what);
// UTF-16 to UTF-8; an unpaired surrogate throws RuntimeError naming `what`.
std::string WideToUtf8(const std::wstring& text, const std::string& what);

// The failure for a Win32 error code (GetLastError), with the system's text for it;
// `context` is appended after a colon when given.
RuntimeError WindowsError(unsigned long errorCode, const std::string& context = {});

}  // namespace gapwell
