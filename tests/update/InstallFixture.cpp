#include "update/InstallFixture.h"

#include <fstream>

namespace gapwell::test {

void InstallFixture::SetUp() {
    PlatformFixture::SetUp();
    std::filesystem::create_directory(UpdatesFolder());
    WriteFile(AppFile("GPW"), kOldProgram, std::filesystem::perms(0755));
    WriteFile(AppFile("readme.txt"), "old read-me");
}

void WriteFile(const std::filesystem::path& file, const std::string& text,
               std::filesystem::perms mode) {
    std::ofstream(file, std::ios::binary) << text;
    std::filesystem::permissions(file, mode);
}

}  // namespace gapwell::test
