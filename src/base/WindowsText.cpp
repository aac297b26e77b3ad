#include "base/WindowsText.h"

#include <windows.h>

#include <climits>

namespace gapwell {

namespace {

// The conversion functions count in int.
int SizeForConversion(std::size_t size, const std::string& what) {
    if (size > INT_MAX) {
        throw RuntimeError(ERROR_FILENAME_EXCED_RANGE, "Too long: " + what);
    }
    return static_cast<int>(size);
}

}  // namespace

std::wstring Utf8ToWide(const std::string& text, const std::string& what) {
    if (text.empty()) {
        return {};
    }
    const int size = SizeForConversion(text.size(), what);
    const int wideSize =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (wideSize <= 0) {
        throw RuntimeError(ERROR_NO_UNICODE_TRANSLATION, "Not valid UTF-8: " + what);
    }
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), wideSize);
    return wide;
}

std::string WideToUtf8(const std::wstring& text, const std::string& what) {
    if (text.empty()) {
        return {};
    }
    const int size = SizeForConversion(text.size(), what);
    const int narrowSize = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size,
                                               nullptr, 0, nullptr, nullptr);
    if (narrowSize <= 0) {
        throw RuntimeError(ERROR_NO_UNICODE_TRANSLATION, "Not valid Unicode: " + what);
    }
    std::string narrow(static_cast<std::size_t>(narrowSize), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size, narrow.data(), narrowSize,
                        nullptr, nullptr);
    return narrow;
}

RuntimeError WindowsError(unsigned long errorCode, const std::string& context) {
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, errorCode, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::wstring wide = length > 0 ? std::wstring(message, length) : std::wstring();
    LocalFree(message);
    // The system's texts end in a full stop and a line break; the error line has its own end.
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' ' ||
                             wide.back() == L'.')) {
        wide.pop_back();
    }
    std::string description;
    try {
        description = WideToUtf8(wide, "system message");
    } catch (const RuntimeError&) {
        description.clear();
    }
    if (description.empty()) {
        description = "Windows error " + std::to_string(errorCode);
    }
    if (!context.empty()) {
        description += ": " + context;
    }
    return RuntimeError(static_cast<int>(errorCode), description);
}

}  // namespace gapwell
