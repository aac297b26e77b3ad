#pragma once

#include <stdexcept>
#include <string>

namespace gapwell {

// A run-time failure: a number (never 0) and a description from the layer that failed.
// On Linux the number is the errno value and the description its text; on Windows a failed
// system call gives its Win32 error code (base/WindowsText.h).
class RuntimeError : public std::runtime_error {
  public:
    RuntimeError(int number, const std::string& description)
        : std::runtime_error(description), number_(number) {}

    int Number() const { return number_; }
    std::string Description() const { return what(); }

  private:
    int number_;
};

// The failure for an errno value, with the system's text for it; `context` (a path, say)
// is appended after a colon when given.
RuntimeError ErrnoError(int errorNumber, const std::string& context = {});

}  // namespace gapwell
