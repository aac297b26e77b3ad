#include "alloc/ListFileReader.h"

#include <cerrno>

#include "base/RuntimeError.h"
#include "search/ReadOnlyFile.h"

namespace gapwell {

namespace {

// Whether ReadOnlyFile's error number says that the file does not exist, its folder included.
bool NoSuchFile(int number) {
#ifdef _WIN32
    return number == 2 || number == 3;  // ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND
#else
    return number == ENOENT;
#endif
}

[[noreturn]] void TooLong(const std::string& path, std::int64_t limit) {
    throw RuntimeError(EFBIG,
                       "File too large (more than " + std::to_string(limit) + " bytes): " + path);
}

[[noreturn]] void Grew(const std::string& path) {
    throw RuntimeError(EAGAIN, "File grew while it was read: " + path);
}

}  // namespace

std::string ReadListFile(const std::string& path, std::int64_t limit) {
    const ReadOnlyFile file(path);
    const std::int64_t length = file.Length();
    if (length > limit) {
        TooLong(path, limit);
    }
    // One byte more than the length tells a file that grew meanwhile; memory follows the file's
    // length, not the limit.
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const std::size_t size =
        file.ReadAt(0, reinterpret_cast<std::uint8_t*>(text.data()), text.size());
    if (size > static_cast<std::size_t>(length)) {
        Grew(path);
    }
    text.resize(size);
    return text;
}

std::string ReadListFileIfAny(const std::string& path, std::int64_t limit) {
    try {
        return ReadListFile(path, limit);
    } catch (const RuntimeError& error) {
        if (NoSuchFile(error.Number())) {
            return {};
        }
        throw;
    }
}

}  // namespace gapwell
