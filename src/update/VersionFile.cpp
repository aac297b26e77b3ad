#include "update/VersionFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"
#include "base/Version.h"
#include "update/HttpReceive.h"
#include "update/TransferBounds.h"
#include "update/UpdatePaths.h"

namespace gapwell {

namespace {

constexpr char kSeparator = '|';

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsAsciiAlnum(char c) {
    return IsAsciiDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsControl(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code < 0x20 || code == 0x7F;
}

// Digits once the dots are removed; there must be at least one.
bool IsNumericVersion(std::string_view version) {
    bool digit = false;
    for (const char c : version) {
        if (IsAsciiDigit(c)) {
            digit = true;
        } else if (c != '.') {
            return false;
        }
    }
    return digit;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// An https update folder hands out https archives only; an http one (a test's own server, a
// local mirror) either.
bool KeepsTheScheme(std::string_view archiveUrl, std::string_view updateFolderUrl) {
    return !StartsWith(updateFolderUrl, "https://") || StartsWith(archiveUrl, "https://");
}

// Takes the next number of a version off `rest`, without leading zeros ("" stands for 0).
std::string_view NextNumber(std::string_view& rest) {
    const std::size_t dot = rest.find('.');
    std::string_view number = rest.substr(0, dot);
    rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
    number.remove_prefix(std::min(number.find_first_not_of('0'), number.size()));
    return number;
}

// Compares two digit strings without leading zeros as numbers: <0, 0 or >0.
int CompareNumbers(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b);
}

}  // namespace

std::string UpdateBaseUrl() {
    // Not set and set to an empty text both leave the built-in URL.
    const std::string fromEnvironment = EnvironmentValue("GAPWELL_UPDATE_URL");
    if (!fromEnvironment.empty()) {
        return AddBackslash(fromEnvironment);
    }
    return version::kUpdateBaseUrl;
}

std::string VersionFileUrl() {
    return UpdateBaseUrl() + version::kAppTitle + ".txt";
}

std::string VersionLineText(std::string_view version, std::string_view archiveUrl) {
    std::string line = version::kProductName;
    line.append(1, kSeparator).append(version).append(1, kSeparator).append(archiveUrl);
    return line + "\r\n";
}

std::string FirstLine(std::string_view text) {
    return std::string(text.substr(0, text.find_first_of("\r\n")));
}

std::string GetUrlFileName(std::string_view url) {
    const std::size_t slash = url.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(url.substr(slash + 1));
}

bool IsPlainArchiveName(std::string_view name, std::string_view programName) {
    const bool plainCharacters = std::all_of(name.begin(), name.end(), [](char c) {
        return IsAsciiAlnum(c) || c == '.' || c == '-' || c == '_';
    });
    return plainCharacters && !programName.empty() &&
           name.substr(0, name.find('.')) == programName &&
           name.find("..") == std::string_view::npos && name.find(".zip") != std::string_view::npos;
}

VersionOffer ParseVersionLine(std::string_view line, const ArchiveRules& rules) {
    const std::size_t first = line.find(kSeparator);
    const std::size_t second =
        first == std::string_view::npos ? first : line.find(kSeparator, first + 1);
    if (second == std::string_view::npos ||
        line.find(kSeparator, second + 1) != std::string_view::npos ||
        std::any_of(line.begin(), line.end(), IsControl)) {
        return {};
    }
    const std::string_view version = line.substr(first + 1, second - first - 1);
    const std::string_view archiveUrl = line.substr(second + 1);
    const std::string archiveName = GetUrlFileName(archiveUrl);
    if (!IsNumericVersion(version) || !IsSendableUrl(archiveUrl) ||
        !KeepsTheScheme(archiveUrl, rules.updateFolderUrl) ||
        !IsPlainArchiveName(archiveName, rules.programName)) {
        return {};
    }
    return VersionOffer{true, std::string(version), std::string(archiveUrl), archiveName};
}

bool IsNewerVersion(std::string_view current, std::string_view newest) {
    while (!current.empty() && !newest.empty()) {
        if (const int order = CompareNumbers(NextNumber(current), NextNumber(newest)); order != 0) {
            return order < 0;
        }
    }
    // Past the shorter version, the longer one is later exactly when a number of it is not 0.
    return current.empty() && newest.find_first_not_of(".0") != std::string_view::npos;
}

std::string ReadBoundedText(const std::string& path, std::int64_t maxBytes) {
    int error = 0;
    const std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(path, maxBytes, &error);
    if (bytes) {
        return {bytes->begin(), bytes->end()};
    }
    if (error == EFBIG) {
        return {};
    }
    throw ErrnoError(error, path);
}

std::string ReadFirstLine(const std::string& path, std::int64_t maxBytes) {
    return FirstLine(ReadBoundedText(path, maxBytes));
}

std::string ReadVersionFileLine(const std::string& path) {
    return ReadFirstLine(path, kMaxVersionFileBytes);
}

std::string ReadVersionFileText(const std::string& path) {
    return ReadBoundedText(path, kMaxVersionFileBytes);
}

}  // namespace gapwell
