#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "services/modMsgBox.h"
#include "update/DoUpdate.h"
#include "update/InstallFixture.h"
#include "support/TestZip.h"

namespace gapwell {
namespace {

namespace fs = std::filesystem;
using test::ZipEntry;
using Kind = test::ZipEntry::Kind;

// What the program folder holds, outside the updates folder and Bug.log: path -> content.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::end(it); ++it) {
        const std::string name = fs::relative(it->path(), folder).string();
        if (name == "Updates" || name == "Bug.log") {
            it.disable_recursion_pending();
            continue;
        }
        files[name] = it->is_symlink() ? "link" : test::ReadText(it->path());
    }
    return files;
}

struct HostileCase {
    const char* label;
    // The archive's entries; "@" in a name stands for the program folder.
    std::vector<ZipEntry> entries;
    ExtractBounds bounds = kReleaseExtractBounds;
    const char* notAZip = nullptr;  // when set, the archive's bytes
};

void PrintTo(const HostileCase& hostile, std::ostream* out) {
    *out << hostile.label;
}

const std::string kEvil = "#!/bin/sh\necho evil > started.marker\n";

std::vector<HostileCase> HostileCases() {
    return {
        {"ParentNames", {{"../GPW", kEvil}, {"../readme.txt", kEvil}, {"x/../../GPW", kEvil}}},
        {"AbsoluteNames", {{"@/GPW", kEvil}, {"@/readme.txt", kEvil}}},
        {"LinkNamedLikeTheProgram", {{"GPW", "/bin/sh", Kind::kLink}}},
        {"Folders", {{"GPW/", "", Kind::kFolder}, {"GPW/GPW", kEvil}}},
        {"MissingExecutable", {{"readme.txt", "new read-me"}}},
        {"OversizedContent", {{"GPW", std::string(2048, '#')}}, {1024, 1000}},
        {"TooManyEntries", {{"GPW", kEvil}, {"a", "a"}, {"b", "b"}}, {1024, 2}},
        {"ErrorPageSavedAsTheArchive", {}, {}, "<html><body>404 Not Found</body></html>"},
    };
}

class HostileArchiveTest : public test::InstallFixture,
                           public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileArchiveTest, ProgramFolderStaysAsItWasAndNothingStarts) {
    const HostileCase& hostile = GetParam();
    const std::string archivePath = UpdatesFolder() + "GPW.zip";
    if (hostile.notAZip != nullptr) {
        test::WriteFile(archivePath, hostile.notAZip);
    } else {
        std::vector<ZipEntry> entries = hostile.entries;
        for (ZipEntry& entry : entries) {
            if (entry.name.starts_with("@")) {
                entry.name = folder.Path().string() + entry.name.substr(1);
            }
        }
        test::WriteZip(archivePath, entries);
    }
    const auto before = Snapshot(folder.Path());
    platform.defaultTaskDialogAnswer = kIdCancel;  // Ignore
    InstallOptions options;
    options.bounds = hostile.bounds;

    EXPECT_FALSE(DoUpdate(archivePath, UpdatesFolder(), options));

    EXPECT_EQ(Snapshot(folder.Path()), before);
    EXPECT_TRUE(platform.hiddenProcesses.empty());
    EXPECT_NE(BugLog().find("|DoUpdate|"), std::string::npos);
    EXPECT_NE(BugLog().find("|frmUpdate|"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Archives, HostileArchiveTest, ::testing::ValuesIn(HostileCases()),
                         [](const auto& test) { return std::string(test.param.label); });

}  // namespace
}  // namespace gapwell
