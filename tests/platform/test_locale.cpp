#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace gapwell {
namespace {

TEST(Locale, EnvironmentIsReadRaw) {
    const auto saved = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    };
    const char* names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> previous[4];
    for (int i = 0; i < 4; ++i) {
        previous[i] = saved(names[i]);
        unsetenv(names[i]);
    }

    setenv("LANG", "sl_SI.UTF-8", 1);
    setenv("LC_MESSAGES", "C", 1);
    setenv("LANGUAGE", "da:de", 1);
    const LocaleSettings settings = LocaleSettingsFromEnvironment();
    EXPECT_EQ(settings.language, "da:de");
    EXPECT_EQ(settings.lcAll, "");
    EXPECT_EQ(settings.lcMessages, "C");
    EXPECT_EQ(settings.lang, "sl_SI.UTF-8");

    for (int i = 0; i < 4; ++i) {
        if (previous[i]) {
            setenv(names[i], previous[i]->c_str(), 1);
        } else {
            unsetenv(names[i]);
        }
    }
}

}  // namespace
}  // namespace gapwell
