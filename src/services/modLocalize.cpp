#include "services/modLocalize.h"

#include <algorithm>
#include <cerrno>
#include <charconv>

#include "base/RuntimeError.h"
#include "platform/Platform.h"
#include "services/ErrorScope.h"
#include "services/Language.h"
#include "services/StringTables.h"

namespace gapwell {

namespace {

bool ContainsCalibri(const std::string& fontName) {
    return fontName.find("Calibri") != std::string::npos;
}

}  // namespace

std::optional<std::string> TryLoadString(int id) {
    const StringTable& table = StringTableFor(UserLanguageId());
    const auto entry = table.find(id);
    if (entry == table.end() || entry->second.empty()) {
        return std::nullopt;
    }
    return entry->second;
}

std::string LoadString(int id) {
    std::string text;
    ErrorScope scope("LoadString", "modLocalize");
    scope.Step([&] {
        std::optional<std::string> found = TryLoadString(id);
        if (!found) {
            throw RuntimeError(ENOENT,
                               "Resource with identifier '" + std::to_string(id) + "' not found");
        }
        text = std::move(*found);
    });
    return text;
}

bool HasCalibriFont(const std::vector<std::string>& fontNames) {
    return std::any_of(fontNames.begin(), fontNames.end(), ContainsCalibri);
}

bool CalibriFontCheck::Installed() {
    if (!examined_) {
        ErrorScope scope("Localize", "modLocalize");
        scope.Step([&] { calibri_ = HasCalibriFont(CurrentPlatform().ScreenFonts()); });
        examined_ = true;
    }
    return calibri_;
}

bool CalibriInstalled() {
    static CalibriFontCheck check;
    return check.Installed();
}

int ReadStringId(const std::string& tag) {
    const char* begin = tag.data();
    const char* end = tag.data() + tag.size();
    int id = 0;
    const auto parsed = std::from_chars(begin, end, id);
    const bool startsWithDigit = !tag.empty() && tag.front() >= '0' && tag.front() <= '9';
    return startsWithDigit && parsed.ec == std::errc() ? id : 0;
}

}  // namespace gapwell
