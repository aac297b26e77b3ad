#include <windows.h>

#include <filesystem>
#include <system_error>

#include "alloc/LedgerLock.h"
#include "base/WindowsText.h"

namespace gapwell {

LedgerLock::LedgerLock(const std::string& ledgerPath) {
    const std::string path = LedgerLockPath(ledgerPath);
    const std::wstring widePath = Utf8ToWide(path, path);
    const std::filesystem::path parent = std::filesystem::path(widePath).parent_path();
    std::error_code created;
    if (!parent.empty()) {
        std::filesystem::create_directories(parent, created);
    }
    if (created) {
        throw RuntimeError(created.value(), path + ": " + created.message());
    }
    HANDLE file = CreateFileW(widePath.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw WindowsError(GetLastError(), path);
    }
    // LockFileEx without LOCKFILE_FAIL_IMMEDIATELY waits until the lock is free.
    OVERLAPPED start{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &start)) {
        const DWORD error = GetLastError();
        CloseHandle(file);
        throw WindowsError(error, path);
    }
    handle_ = file;
}

LedgerLock::~LedgerLock() {
    // Closing the handle releases the lock.
    CloseHandle(static_cast<HANDLE>(handle_));
}

}  // namespace gapwell
