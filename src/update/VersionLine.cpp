#include "update/VersionLine.h"

#include <algorithm>
#include <vector>

namespace gapwell {

namespace {

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsAsciiAlnum(char c) {
    return IsAsciiDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::vector<std::string> SplitAtBars(const std::string& line) {
    std::vector<std::string> fields(1);
    for (const char c : line) {
        if (c == '|') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// Digits once the dots are removed; there must be at least one.
bool IsNumericVersion(const std::string& version) {
    const bool onlyDigitsAndDots = std::all_of(version.begin(), version.end(),
                                               [](char c) { return c == '.' || IsAsciiDigit(c); });
    return onlyDigitsAndDots && std::any_of(version.begin(), version.end(), IsAsciiDigit);
}

}  // namespace

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\r'));
}

std::string GetUrlFileName(const std::string& url) {
    const std::size_t slash = url.rfind('/');
    return slash == std::string::npos ? std::string() : url.substr(slash + 1);
}

bool IsPlainArchiveName(const std::string& name) {
    const bool plainCharacters = std::all_of(name.begin(), name.end(), [](char c) {
        return IsAsciiAlnum(c) || c == '.' || c == '-' || c == '_';
    });
    return plainCharacters && !name.empty() && IsAsciiAlnum(name.front()) &&
           name.find("..") == std::string::npos && name.find(".zip") != std::string::npos;
}

VersionOffer ParseVersionLine(const std::string& line) {
    const std::vector<std::string> fields = SplitAtBars(line);
    if (fields.size() != 3 || !IsNumericVersion(fields[1])) {
        return {};
    }
    const std::string archiveName = GetUrlFileName(fields[2]);
    if (!IsPlainArchiveName(archiveName)) {
        return {};
    }
    return VersionOffer{true, fields[1], fields[2], archiveName};
}

}  // namespace gapwell
