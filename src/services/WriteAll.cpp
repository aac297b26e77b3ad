#include "services/WriteAll.h"

#include <unistd.h>

#include <cerrno>

namespace gapwell {

bool WriteAll(std::string_view data, const WriteCall& write) {
    while (!data.empty()) {
        const ssize_t written = write(data.data(), data.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool WriteAll(int fd, std::string_view data) {
    return WriteAll(data,
                    [fd](const char* bytes, std::size_t size) { return ::write(fd, bytes, size); });
}

}  // namespace gapwell
