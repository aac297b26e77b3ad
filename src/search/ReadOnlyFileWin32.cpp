#include <windows.h>

#include <algorithm>
#include <cctype>

#include "base/WindowsText.h"
#include "search/ReadOnlyFile.h"

namespace gapwell {

namespace {

bool IsSlash(char c) {
    return c == '\\' || c == '/';
}

// True for paths in the device namespace: "\\.\..." (NUL, CON, COM1, pipes, volumes, disks), and
// "\\?\..." or the NT form "\??\..." unless it names a file by drive letter ("\\?\C:\...") or
// share ("\\?\UNC\..."). Opening a device can have effects of its own, so these are refused
// before any open.
bool IsDeviceNamespacePath(const std::string& path) {
    if (path.size() < 4 || !IsSlash(path[0]) || !IsSlash(path[3])) {
        return false;
    }
    if (IsSlash(path[1]) && path[2] == '.') {
        return true;
    }
    const bool passedThrough = (IsSlash(path[1]) || path[1] == '?') && path[2] == '?';
    if (!passedThrough) {
        return false;
    }
    const std::string rest = path.substr(4);
    const bool driveLetter = rest.size() >= 3 &&
                             std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':' &&
                             IsSlash(rest[2]);
    std::string prefix = rest.substr(0, 4);
    std::transform(prefix.begin(), prefix.end(), prefix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return !driveLetter && prefix != "UNC\\";
}

RuntimeError NotARegularFile(const char* kind, const std::string& path) {
    return RuntimeError(ERROR_BAD_FILE_TYPE,
                        std::string("Not a regular file (it is ") + kind + "): " + path);
}

// What an open handle that is not a disk file is, for the message that refuses it.
const char* KindOf(DWORD fileType) {
    if (fileType == FILE_TYPE_CHAR) {
        return "a character device";
    }
    if (fileType == FILE_TYPE_PIPE) {
        return "a pipe";
    }
    return "of an unknown kind";
}

}  // namespace

ReadOnlyFile::ReadOnlyFile(const std::string& path) : path_(path) {
    if (IsDeviceNamespacePath(path)) {
        throw NotARegularFile("a device", path);
    }
    const std::wstring widePath = Utf8ToWide(path, path);
    // OPEN_EXISTING never creates the file; sharing everything lets an editor keep the ROM open.
    handle_ = CreateFileW(
        widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A folder cannot be opened as a file; say so instead of "Access is denied".
        const DWORD attributes = GetFileAttributesW(widePath.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            throw RuntimeError(static_cast<int>(error), "Is a directory: " + path);
        }
        throw WindowsError(error, path);
    }
    // Only disk files have a length and an end: NUL, CON or a pipe could be read for ever.
    // (Folders never get here: without FILE_FLAG_BACKUP_SEMANTICS they cannot be opened.)
    const DWORD fileType = GetFileType(handle_);
    if (fileType != FILE_TYPE_DISK) {
        CloseHandle(handle_);
        throw NotARegularFile(KindOf(fileType), path);
    }
}

ReadOnlyFile::~ReadOnlyFile() {
    CloseHandle(handle_);
}

std::int64_t ReadOnlyFile::Length() const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle_, &size)) {
        throw WindowsError(GetLastError(), path_);
    }
    return size.QuadPart;
}

std::size_t ReadOnlyFile::ReadAt(std::int64_t offset, std::uint8_t* buffer,
                                 std::size_t size) const {
    if (offset < 0) {
        throw WindowsError(ERROR_NEGATIVE_SEEK, path_);
    }
    // ReadFile takes at most a DWORD of bytes; 1 GiB pieces keep well inside it.
    constexpr std::size_t kLargestRead = std::size_t{1} << 30;
    std::size_t total = 0;
    while (total < size) {
        const auto position = static_cast<std::uint64_t>(offset) + total;
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const auto wanted = static_cast<DWORD>(std::min(size - total, kLargestRead));
        DWORD got = 0;
        if (!ReadFile(handle_, buffer + total, wanted, &got, &at)) {
            const DWORD error = GetLastError();
            if (error == ERROR_HANDLE_EOF) {
                break;
            }
            throw WindowsError(error, path_);
        }
        if (got == 0) {
            break;
        }
        total += got;
    }
    return total;
}

}  // namespace gapwell
