#include "update/ReleaseNotes.h"

#include <cstdint>

namespace gapwell {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the valid UTF-8 sequence at the start of `text`, 0 when it is not one
// (overlong forms, surrogates and code points past U+10FFFF included).
std::size_t ValidSequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t index) { return static_cast<std::uint8_t>(text[index]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t index = 2; index < length; ++index) {
        if (byte(index) < 0x80 || byte(index) > 0xBF) {
            return 0;
        }
    }
    return length;
}

bool IsDroppedControl(std::string_view sequence) {
    const auto code = static_cast<std::uint8_t>(sequence[0]);
    if (sequence.size() == 1) {
        return code < 0x20 || code == 0x7F;
    }
    // C1 controls, U+0080 to U+009F, are two bytes C2 80 to C2 9F.
    return code == 0xC2 && static_cast<std::uint8_t>(sequence[1]) <= 0x9F;
}

// Valid UTF-8 with LF line ends, a blank for each tab and no other control character.
std::string CleanText(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    while (!text.empty()) {
        if (text[0] == '\t') {
            clean += ' ';  // a tab parts words; the box shows it as one blank
            text.remove_prefix(1);
            continue;
        }
        if (text[0] == '\r' || text[0] == '\n') {
            clean += '\n';
            text.remove_prefix(text.substr(0, 2) == "\r\n" ? 2 : 1);
            continue;
        }
        const std::size_t length = ValidSequenceLength(text);
        if (length == 0) {
            clean += kReplacement;
            text.remove_prefix(1);
            continue;
        }
        if (!IsDroppedControl(text.substr(0, length))) {
            clean += text.substr(0, length);
        }
        text.remove_prefix(length);
    }
    return clean;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\n';
}

// Without blank lines at either end; the first line keeps its leading blanks.
std::string_view TrimBlankLines(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    const std::size_t firstVisible = text.find_first_not_of(" \n");
    if (firstVisible == std::string_view::npos) {
        return {};
    }
    if (const std::size_t lineEnd = text.rfind('\n', firstVisible);
        lineEnd != std::string_view::npos) {
        text.remove_prefix(lineEnd + 1);
    }
    return text;
}

// Cut to at most kMaxReleaseNotesBytes without splitting a character, marked as cut.
std::string Bounded(std::string text) {
    if (text.size() <= kMaxReleaseNotesBytes) {
        return text;
    }
    std::size_t end = kMaxReleaseNotesBytes;
    while (end > 0 && (static_cast<std::uint8_t>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    text.resize(end);
    return text.append(kReleaseNotesCutMark);
}

}  // namespace

std::string ReleaseNotesOf(std::string_view versionFileText) {
    const std::size_t lineEnd = versionFileText.find_first_of("\r\n");
    if (lineEnd == std::string_view::npos) {
        return {};
    }
    std::string_view rest = versionFileText.substr(lineEnd + 1);
    if (!rest.empty() && rest[0] == '\n') {
        rest.remove_prefix(1);
    }
    return Bounded(std::string(TrimBlankLines(CleanText(rest))));
}

}  // namespace gapwell
