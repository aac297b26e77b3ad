#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string_view>

namespace gapwell {

// One call of a write function that behaves like ::write on one open file: it writes up to
// `size` bytes and returns how many, or returns -1 and sets errno.
using WriteCall = std::function<ssize_t(const char* data, std::size_t size)>;

// Writes all of `data` through `write`, calling it again after a short write or an interrupted
// call. Returns false when a call fails otherwise or writes nothing; the bytes written until
// then stay written.
bool WriteAll(std::string_view data, const WriteCall& write);

// The same on a file descriptor.
bool WriteAll(int fd, std::string_view data);

}  // namespace gapwell
