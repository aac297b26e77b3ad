#include "update/install/InstallLock.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>

#include "base/RuntimeError.h"

namespace gapwell {

namespace {

constexpr std::size_t kIdBytes = 16;

std::string RandomId() {
    if (sodium_init() < 0) {
        throw RuntimeError(EIO, "No source of random numbers");
    }
    std::array<unsigned char, kIdBytes> bytes{};
    randombytes_buf(bytes.data(), bytes.size());
    std::array<char, kIdBytes * 2 + 1> hex{};
    sodium_bin2hex(hex.data(), hex.size(), bytes.data(), bytes.size());
    return hex.data();
}

bool IsId(const std::string& text) {
    return text.size() == kIdBytes * 2 &&
           text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

RuntimeError Untrusted(const std::string& path, const std::string& why) {
    return RuntimeError(EPERM, "The installation's file " + path + " " + why);
}

}  // namespace

UniqueFd OpenOwnPrivateFile(int workFolder, const char* name, const std::string& path) {
    UniqueFd file(::openat(workFolder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    const std::string filePath = path + "/" + name;
    if (file.Get() < 0) {
        const int error = errno;
        throw error == ENOENT
            ? ErrnoError(error, filePath)
            : Untrusted(filePath, error == ELOOP ? "is a link" : "cannot be opened");
    }
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        throw Untrusted(filePath, "is no regular file");
    }
    if (!IsOwnPrivateEntry(status, 0600)) {
        throw Untrusted(filePath, "belongs to another user or others may change it");
    }
    return file;
}

bool IsOwnPrivateEntry(const struct stat& status, mode_t mode) {
    return status.st_uid == ::geteuid() && (status.st_mode & 07777) == mode;
}

InstallLock InstallLock::Create(int workFolder) {
    const auto create = [workFolder](const char* name) {
        UniqueFd file(
            ::openat(workFolder, name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file.Get() < 0) {
            throw ErrnoError(errno, name);
        }
        return file;
    };
    UniqueFd idFile = create(kInstallIdName);
    std::string id = RandomId();
    if (::flock(idFile.Get(), LOCK_EX | LOCK_NB) != 0 || !WriteAll(idFile.Get(), id + "\n") ||
        ::fsync(idFile.Get()) != 0) {
        throw ErrnoError(errno == 0 ? EIO : errno, kInstallIdName);
    }
    UniqueFd handOver = create(kHandOverLockName);
    return InstallLock(std::move(idFile), std::move(handOver), std::move(id));
}

std::optional<InstallLock> InstallLock::TryTake(int workFolder, const std::string& path) {
    UniqueFd idFile = OpenOwnPrivateFile(workFolder, kInstallIdName, path);
    UniqueFd handOver = OpenOwnPrivateFile(workFolder, kHandOverLockName, path);
    for (const UniqueFd* file : {&idFile, &handOver}) {
        if (::flock(file->Get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) {
                return std::nullopt;
            }
            throw ErrnoError(errno, path);
        }
    }
    char text[kIdBytes * 2 + 2] = {};
    const ssize_t got = ::pread(idFile.Get(), text, sizeof text, 0);
    std::string id(text, got > 0 ? std::size_t(got) : 0);
    if (id.ends_with('\n')) {
        id.pop_back();
    }
    if (!IsId(id)) {
        throw Untrusted(path + "/" + kInstallIdName, "holds no installation id");
    }
    return InstallLock(std::move(idFile), std::move(handOver), std::move(id));
}

}  // namespace gapwell
