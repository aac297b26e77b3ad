#include <emscripten/emscripten.h>

#include <cerrno>

#include "base/RuntimeError.h"
#include "search/ReadOnlyFile.h"

// The browser build's body: the files live on the JavaScript side, which hands over one object,
// Module.romFiles, with open(path), length(handle), read(handle, offset, heapOffset, size) and
// close(handle). In a Web Worker it reads slices of a File; under node it reads through the
// file system. Either way the file is read piece by piece, never copied whole.
// open and read report failures as the negative error kinds below.

namespace {

// clang-format off
EM_JS(int, RomFileOpen, (const char* path), {
    return Module.romFiles.open(UTF8ToString(path));
});
EM_JS(double, RomFileLength, (int handle), {
    return Module.romFiles.length(handle);
});
EM_JS(int, RomFileRead, (int handle, double offset, std::uint8_t* buffer, std::size_t size), {
    return Module.romFiles.read(handle, offset, buffer, size);
});
EM_JS(void, RomFileClose, (int handle), {
    Module.romFiles.close(handle);
});
// clang-format on

// The error kinds the JavaScript side reports, as negative numbers.
enum ErrorKind {
    kNoSuchFile = -1,
    kAccessDenied = -2,
    kIsFolder = -3,
    kReadFailed = -4,
    // Not a regular file: a FIFO, a character device, a block device, a socket.
    kFifo = -5,
    kCharacterDevice = -6,
    kBlockDevice = -7,
    kSocket = -8,
};

// The same words as the POSIX body uses for a file that is not a regular file.
const char* KindOf(int kind) {
    switch (kind) {
        case kFifo:
            return "a FIFO";
        case kCharacterDevice:
            return "a character device";
        case kBlockDevice:
            return "a block device";
        case kSocket:
            return "a socket";
        default:
            return "of an unknown kind";
    }
}

gapwell::RuntimeError FailureOf(int kind, const std::string& path) {
    switch (kind) {
        case kNoSuchFile:
            return gapwell::ErrnoError(ENOENT, path);
        case kAccessDenied:
            return gapwell::ErrnoError(EACCES, path);
        case kIsFolder:
            return gapwell::ErrnoError(EISDIR, path);
        case kReadFailed:
            return gapwell::ErrnoError(EIO, path);
        default:
            return gapwell::RuntimeError(
                EINVAL, std::string("Not a regular file (it is ") + KindOf(kind) + "): " + path);
    }
}

}  // namespace

namespace gapwell {

ReadOnlyFile::ReadOnlyFile(const std::string& path) : path_(path) {
    fd_ = RomFileOpen(path.c_str());
    if (fd_ < 0) {
        throw FailureOf(fd_, path);
    }
}

ReadOnlyFile::~ReadOnlyFile() {
    RomFileClose(fd_);
}

std::int64_t ReadOnlyFile::Length() const {
    const double length = RomFileLength(fd_);
    if (length < 0) {
        throw FailureOf(kReadFailed, path_);
    }
    return static_cast<std::int64_t>(length);
}

std::size_t ReadOnlyFile::ReadAt(std::int64_t offset, std::uint8_t* buffer,
                                 std::size_t size) const {
    if (offset < 0) {
        throw ErrnoError(EINVAL, path_);
    }
    const int got = RomFileRead(fd_, static_cast<double>(offset), buffer, size);
    if (got < 0) {
        throw FailureOf(got, path_);
    }
    return static_cast<std::size_t>(got);
}

}  // namespace gapwell
