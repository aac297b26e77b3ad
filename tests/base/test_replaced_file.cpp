// A file replaced whole: the permissions it ends with, and failures that leave everything as it
// was and no new file behind.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

#include "base/ReplacedFile.h"
#include "base/RuntimeError.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

namespace fs = std::filesystem;

TEST(ReplaceFileContent, KeepsTheModeOfTheRegularFileItReplacesOnly) {
    const mode_t umask = ::umask(0022);
    const struct {
        const char* planted;  // what is at the name before: nothing, "file" or "link"
        unsigned existingMode;
        std::optional<unsigned> mode;
        unsigned expected;
    } cases[] = {
        {"", 0, std::nullopt, 0644},          // a new file: 0666 less the umask
        {"file", 0600, std::nullopt, 0600},   // carried over
        {"file", 04755, std::nullopt, 0755},  // without the set-id bits
        {"file", 0600, 0644, 0644},           // a given mode wins
        {"link", 0600, std::nullopt, 0644},   // a link lends nothing, its target keeps its bytes
    };
    for (const auto& [planted, existingMode, mode, expected] : cases) {
        const test::TempFolder folder;
        const fs::path path = folder.Path() / "ledger";
        const fs::path target = folder.Path() / "target";
        if (std::string(planted) == "file") {
            test::WriteText(path, "old");
            fs::permissions(path, fs::perms(existingMode));
        } else if (std::string(planted) == "link") {
            test::WriteText(target, "old");
            fs::permissions(target, fs::perms(existingMode));
            fs::create_symlink(target, path);
        }
        ReplaceFileContent(path.string(), "new", mode);
        EXPECT_EQ(test::ReadText(path), "new") << planted;
        EXPECT_EQ(fs::symlink_status(path).permissions(), fs::perms(expected)) << planted;
        EXPECT_EQ(fs::exists(target) ? test::ReadText(target) : "old", "old");
    }
    ::umask(umask);
}

TEST(ReplaceFileContent, AFailureLeavesThePathAsItWasAndNoNewFile) {
    const test::TempFolder folder;
    // A bare name is replaced in the working folder (it has no parent folder to make).
    const fs::path before = fs::current_path();
    fs::current_path(folder.Path());
    EXPECT_NO_THROW(ReplaceFileContent("ledger", "new"));
    fs::current_path(before);
    const fs::path holder = folder.Path() / "folder";
    fs::create_directory(holder);
    test::WriteText(holder / "inside", "kept");
    const fs::path file = folder.Path() / "file";
    test::WriteText(file, "kept");
    for (const fs::path& path : {holder, file / "below"}) {
        EXPECT_THROW(ReplaceFileContent(path.string(), "new"), RuntimeError) << path;
    }
    EXPECT_EQ(test::ReadText(holder / "inside"), "kept");
    EXPECT_EQ(test::ReadText(file), "kept");
    EXPECT_EQ(test::ReadText(folder.Path() / "ledger"), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 3);
}

}  // namespace
}  // namespace gapwell
