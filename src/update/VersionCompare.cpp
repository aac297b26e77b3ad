#include "update/VersionCompare.h"

#include <algorithm>
#include <vector>

namespace gapwell {

namespace {

// The numbers between the dots, each without leading zeros ("" stands for 0).
std::vector<std::string> VersionNumbers(const std::string& version) {
    std::vector<std::string> numbers(1);
    for (const char c : version) {
        if (c == '.') {
            numbers.emplace_back();
        } else if (c != '0' || !numbers.back().empty()) {
            numbers.back() += c;
        }
    }
    return numbers;
}

// Compares two digit strings without leading zeros as numbers: <0, 0 or >0.
int CompareNumbers(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b);
}

}  // namespace

bool IsNewerVersion(const std::string& current, const std::string& newest) {
    const std::vector<std::string> mine = VersionNumbers(current);
    const std::vector<std::string> theirs = VersionNumbers(newest);
    const std::size_t count = std::max(mine.size(), theirs.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& a = i < mine.size() ? mine[i] : std::string();
        const std::string& b = i < theirs.size() ? theirs[i] : std::string();
        if (const int order = CompareNumbers(a, b); order != 0) {
            return order < 0;
        }
    }
    return false;
}

}  // namespace gapwell
