#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/ReplacedFile.h"
#include "base/WindowsText.h"

namespace gapwell {

namespace {

// Tries this many names for the new file before giving up.
constexpr int kNewFileNames = 100;

// Writes all of `text` to `file` and flushes it to the disk.
bool WriteWhole(HANDLE file, std::string_view text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, text.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return FlushFileBuffers(file) != 0;
}

// Renames `from` over `to`. Another program that has `to` open for a moment (a scanner, an
// indexer, another run looking at the name) makes the rename fail with access denied or a sharing
// violation; it is tried again for up to a second.
bool MoveOver(const std::wstring& from, const std::wstring& to) {
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD error = GetLastError();
        if (attempt == 20 || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)) {
            SetLastError(error);
            return false;
        }
        Sleep(50);
    }
}

}  // namespace

void CreateParentFolders(const std::string& path) {
    // A bare name has no parent to create (create_directories refuses an empty path).
    const std::filesystem::path parent =
        std::filesystem::path(Utf8ToWide(path, path)).parent_path();
    std::error_code created;
    if (!parent.empty()) {
        std::filesystem::create_directories(parent, created);
    }
    if (created) {
        throw RuntimeError(created.value(), path + ": " + created.message());
    }
}

void ReplaceFileContent(const std::string& path, std::string_view content,
                        std::optional<unsigned> /*mode*/) {
    CreateParentFolders(path);
    const std::wstring widePath = Utf8ToWide(path, path);
    std::wstring newPath;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kNewFileNames && file == INVALID_HANDLE_VALUE; ++attempt) {
        newPath = widePath + L".new-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(attempt);
        // CREATE_NEW never opens an existing file or follows a link planted under the name.
        file = CreateFileW(newPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            throw WindowsError(GetLastError(), path);
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        throw WindowsError(ERROR_FILE_EXISTS, path);
    }
    const bool written = WriteWhole(file, content);
    DWORD error = written ? 0 : GetLastError();
    CloseHandle(file);
    if (written && !MoveOver(newPath, widePath)) {
        error = GetLastError();
    }
    if (!written || error != 0) {
        DeleteFileW(newPath.c_str());
        throw WindowsError(error != 0 ? error : ERROR_WRITE_FAULT, path);
    }
}

}  // namespace gapwell
