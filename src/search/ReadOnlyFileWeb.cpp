#include <emscripten/emscripten.h>

#include <cerrno>

#include "base/RuntimeError.h"
#include "search/ReadOnlyFile.h"

// The browser build's body: the files live on the JavaScript side, which hands over one object,
// Module.romFiles, with open(path), length(handle), read(handle, offset, heapOffset, size) and
// close(handle). In a Web Worker it reads slices of a File (or a copy of a ROM-sized File made
// when it was opened); under node it reads through the file system. Either way this body asks
// for pieces and never holds the whole file.
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
    NoSuchFile = -1,
    AccessDenied = -2,
    IsFolder = -3,
    ReadFailed = -4,
    // Not a regular file: a FIFO, a character device, a block device, a socket.
    Fifo = -5,
    CharacterDevice = -6,
    BlockDevice = -7,
    Socket = -8,
};

// The same words as the POSIX body uses for a file that is not a regular file.
const char* KindOf(int kind) {
    switch (kind) {
        case Fifo:
            return "a FIFO";
        case CharacterDevice:
            return "a character device";
        case BlockDevice:
            return "a block device";
        case Socket:
            return "a socket";
        default:
            return "of an unknown kind";
    }
}

gapwell::RuntimeError FailureOf(int kind, const std::string& path) {
    switch (kind) {
        case NoSuchFile:
            return gapwell::ErrnoError(ENOENT, path);
        case AccessDenied:
            return gapwell::ErrnoError(EACCES, path);
        case IsFolder:
            return gapwell::ErrnoError(EISDIR, path);
        case ReadFailed:
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
        throw FailureOf(ReadFailed, path_);
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
