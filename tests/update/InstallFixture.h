#pragma once

#include <filesystem>
#include <string>

#include "support/FolderSnapshot.h"
#include "support/PlatformFixture.h"

namespace gapwell::test {

// An installation test: the fixture's folder is the program folder, with an updates folder
// inside and an old program GPW (a shell script) and read-me in it; a second folder outside it
// holds a file of its own.
class InstallFixture : public PlatformFixture {
  protected:
    void SetUp() override;

    std::filesystem::path AppFile(const std::string& name) const { return folder.Path() / name; }
    std::string UpdatesFolder() const { return (folder.Path() / "Updates").string() + "/"; }
    // The one installation work folder in the updates folder; "" when there is none.
    std::string WorkFolderName() const;

    // The program folder without Bug.log (which records refusals), and the outside folder.
    struct Snapshots {
        FolderSnapshot program;
        FolderSnapshot outside;
    };
    Snapshots TakeSnapshots() const;
    // Both folders hold exactly what they held in `before`.
    void ExpectUnchanged(const Snapshots& before) const;

    static constexpr const char* kOldProgram = "#!/bin/sh\necho old > started.marker\n";
    static constexpr const char* kNewProgram = "#!/bin/sh\necho new > started.marker\n";

    TempFolder outside;
};

// Writes `text` to `file` with the given mode.
void WriteFile(const std::filesystem::path& file, const std::string& text,
               std::filesystem::perms mode = std::filesystem::perms(0644));

}  // namespace gapwell::test
