#include "update/InstallFixture.h"

#include <gtest/gtest.h>

#include <fstream>

namespace gapwell::test {

void InstallFixture::SetUp() {
    PlatformFixture::SetUp();
    std::filesystem::create_directory(UpdatesFolder());
    WriteFile(AppFile("GPW"), kOldProgram, std::filesystem::perms(0755));
    WriteFile(AppFile("readme.txt"), "old read-me");
    WriteFile(outside.Path() / "keep.txt", "not the program's");
}

std::string InstallFixture::WorkFolderName() const {
    std::string name;
    for (const std::filesystem::directory_entry& entry :
         std::filesystem::directory_iterator(UpdatesFolder())) {
        if (entry.path().filename().string().starts_with(".install-")) {
            EXPECT_EQ(name, "") << "two work folders";
            name = entry.path().filename().string();
        }
    }
    return name;
}

InstallFixture::Snapshots InstallFixture::TakeSnapshots() const {
    Snapshots snapshots{SnapshotFolder(folder.Path()), SnapshotFolder(outside.Path())};
    snapshots.program.erase("Bug.log");
    return snapshots;
}

void InstallFixture::ExpectUnchanged(const Snapshots& before) const {
    const Snapshots after = TakeSnapshots();
    EXPECT_EQ(SnapshotDifference(before.program, after.program), "") << "in the program folder";
    EXPECT_EQ(SnapshotDifference(before.outside, after.outside), "") << "outside it";
}

void WriteFile(const std::filesystem::path& file, const std::string& text,
               std::filesystem::perms mode) {
    std::ofstream(file, std::ios::binary) << text;
    std::filesystem::permissions(file, mode);
}

}  // namespace gapwell::test
