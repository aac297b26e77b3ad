#include "app/modOpenDialog.h"

#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "services/ErrorScope.h"

namespace gapwell {

namespace {

// The path chosen in the last successful dialog of this run.
std::string m_LastPath;

// The "|"-separated filter as (description, patterns) pairs; a description without patterns at
// the end is left out.
std::vector<std::pair<std::string, std::string>> SplitFilter(const std::string& filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < filter.size()) {
        std::size_t bar = filter.find('|', start);
        if (bar == std::string::npos) {
            bar = filter.size();
        }
        parts.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        pairs.emplace_back(parts[i], parts[i + 1]);
    }
    return pairs;
}

}  // namespace

std::string ShowOpen(const std::string& title, const std::string& initialDir,
                     const std::string& filter, int filterIndex, const std::string& defaultExt,
                     int flags) {
    ErrorScope scope("ShowOpen", "modOpenDialog");
    OpenFileRequest request;
    request.title = title;
    request.initialPath = initialDir.empty() ? m_LastPath : initialDir;
    request.filters = SplitFilter(filter);
    request.filterIndex = filterIndex;
    request.defaultExtension = defaultExt;
    request.flags = flags;
    std::string chosen;
    scope.Step([&] { chosen = CurrentPlatform().GetOpenFileName(request); });
    if (!chosen.empty()) {
        m_LastPath = chosen;
    }
    return chosen;
}

}  // namespace gapwell
