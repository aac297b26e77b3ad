#include "update/CompactPath.h"

#include <algorithm>

namespace gapwell {

namespace {

constexpr char kEllipsis[] = "...";

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::int64_t CharCount(const std::string& text) {
    return std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuationByte(c); });
}

// The first `count` characters of `text`, never cutting a character in two.
std::string FirstChars(const std::string& text, std::int64_t count) {
    std::size_t end = 0;
    for (std::int64_t taken = 0; end < text.size() && taken < count; ++taken) {
        ++end;
        while (end < text.size() && IsContinuationByte(text[end])) {
            ++end;
        }
    }
    return text.substr(0, end);
}

// The longest run of whole leading folders ("/", "/home/", "/home/ann/" ...) of `folders`
// that has at most `room` characters.
std::string LeadingFolders(const std::string& folders, std::int64_t room) {
    std::string kept;
    for (std::size_t slash = folders.find('/'); slash != std::string::npos;
         slash = folders.find('/', slash + 1)) {
        std::string candidate = folders.substr(0, slash + 1);
        if (CharCount(candidate) > room) {
            break;
        }
        kept = std::move(candidate);
    }
    return kept;
}

}  // namespace

std::string CompactPath(const std::string& path, std::int32_t maxChars) {
    if (CharCount(path) <= maxChars) {
        return path;
    }
    const std::size_t lastSlash = path.rfind('/');
    const std::string name = path.substr(lastSlash + 1);
    const std::string tail = std::string(kEllipsis) + "/" + name;
    if (lastSlash != std::string::npos && maxChars >= CharCount(tail)) {
        const std::string folders = path.substr(0, path.size() - name.size());
        return LeadingFolders(folders, maxChars - CharCount(tail)) + tail;
    }
    const std::int64_t ellipsisChars = sizeof kEllipsis - 1;
    if (maxChars <= ellipsisChars) {
        return std::string(kEllipsis).substr(0, static_cast<std::size_t>(std::max(maxChars, 0)));
    }
    return FirstChars(name, maxChars - ellipsisChars) + kEllipsis;
}

}  // namespace gapwell
