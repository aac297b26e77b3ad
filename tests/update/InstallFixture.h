#pragma once

#include <filesystem>
#include <string>

#include "support/PlatformFixture.h"

namespace gapwell::test {

// An installation test: the fixture's folder is the program folder, with an updates folder
// inside and an old program GPW (a shell script) and read-me in it.
class InstallFixture : public PlatformFixture {
  protected:
    void SetUp() override;

    std::filesystem::path AppFile(const std::string& name) const { return folder.Path() / name; }
    std::string UpdatesFolder() const { return (folder.Path() / "Updates").string() + "/"; }

    static constexpr const char* kOldProgram = "#!/bin/sh\necho old > started.marker\n";
    static constexpr const char* kNewProgram = "#!/bin/sh\necho new > started.marker\n";
};

// Writes `text` to `file` with the given mode.
void WriteFile(const std::filesystem::path& file, const std::string& text,
               std::filesystem::perms mode = std::filesystem::perms(0644));

}  // namespace gapwell::test
