#include <windows.h>

#include "alloc/LedgerLock.h"
#include "base/ReplacedFile.h"
#include "base/WindowsText.h"

namespace gapwell {

LedgerLock::LedgerLock(const std::string& ledgerPath) {
    const std::string path = LedgerLockPath(ledgerPath);
    CreateParentFolders(path);
    const std::wstring widePath = Utf8ToWide(path, path);
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
    // Released at once: the system releases the lock of a closed handle only in its own time.
    OVERLAPPED start{};
    UnlockFileEx(static_cast<HANDLE>(handle_), 0, 1, 0, &start);
    CloseHandle(static_cast<HANDLE>(handle_));
}

}  // namespace gapwell
